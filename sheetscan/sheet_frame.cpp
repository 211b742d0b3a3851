#include "sheetscan/sheet_frame.h"

#include <cmath>
#include <numbers>

namespace mx {

QPointF TSheetFrame::ToSheet(QPointF scan) const {
    const QPointF d = scan - Origin;
    const double det = PerMmX.x() * PerMmY.y() - PerMmY.x() * PerMmX.y();
    return {(d.x() * PerMmY.y() - PerMmY.x() * d.y()) / det, (PerMmX.x() * d.y() - d.x() * PerMmX.y()) / det};
}

double TSheetFrame::RotationDeg() const { return std::atan2(PerMmX.y(), PerMmX.x()) * 180 / std::numbers::pi; }

double TSheetFrame::PixelsPerMm() const {
    return (std::hypot(PerMmX.x(), PerMmX.y()) + std::hypot(PerMmY.x(), PerMmY.y())) / 2;
}

TSheetFrame TSheetFrame::Turned() const {
    return {SizeMm, ToScan({SizeMm.width(), SizeMm.height()}), -PerMmX, -PerMmY};
}

TSheetFrame TSheetFrame::Mirrored() const { return {SizeMm, ToScan({SizeMm.width(), 0}), -PerMmX, PerMmY}; }

QPolygonF TSheetFrame::Outline() const {
    const double w = SizeMm.width(), h = SizeMm.height();
    return QPolygonF({ToScan({0, 0}), ToScan({w, 0}), ToScan({w, h}), ToScan({0, h})});
}

} // namespace mx
