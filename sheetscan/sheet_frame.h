#pragma once
// Where a sheet lies in a scan: the affine map between the sheet's own
// millimetres (from its top-left corner, the side upright in front of the
// user) and scan positions (pixel (i, j) covers [i, i + 1) x [j, j + 1)).
// Affine, because a scanner's two axes have scales of their own and the
// sheet lies turned on the glass: the sheet's rectangle becomes a
// parallelogram.
#include <QPointF>
#include <QPolygonF>
#include <QSizeF>

namespace mx {

struct TSheetFrame {
    QSizeF SizeMm;  // the paper's own size
    QPointF Origin; // scan position of the sheet's top-left corner
    QPointF PerMmX; // scan pixels per millimetre along the sheet's width
    QPointF PerMmY; // and along its height

    QPointF ToScan(QPointF mm) const { return Origin + PerMmX * mm.x() + PerMmY * mm.y(); }
    QPointF ToSheet(QPointF scan) const;
    // The angle of the sheet's top edge against the scan's rows, in
    // degrees, positive clockwise as the scan is seen.
    double RotationDeg() const;
    // The scan's pixels per millimetre on average: for windows and steps
    // given in millimetres.
    double PixelsPerMm() const;
    // The same sheet read turned by 180 degrees in its plane.
    TSheetFrame Turned() const;
    // The same sheet read with left and right exchanged, as a mirrored
    // image or the other side of a thin sheet shows it.
    TSheetFrame Mirrored() const;
    // Corners in scan positions: top-left, top-right, bottom-right,
    // bottom-left.
    QPolygonF Outline() const;
};

} // namespace mx
