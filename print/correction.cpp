#include "print/correction.h"

#include "calibration/calibration_text.h"
#include "platform/exception.h"
#include "print/overprint_rect.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace mx {

namespace {

// One coordinate in printable-area pixels: to the paper, undo the
// deviation, truncate like every other conversion, back to the printable
// area. The identity gives the position back unchanged.
int CorrectAxis(int position, int origin, const TAxisCorrection& axis, int dpi) {
    const double paper = double(position) + origin;
    const double shift = axis.OffsetMm / MmPerInch * dpi;
    const double corrected = std::trunc((paper - shift) / axis.Scale) - origin;
    return int(std::clamp(corrected, double(INT_MIN), double(INT_MAX)));
}

bool Applies(const std::optional<TSideCorrection>& side, const PrinterGeometry& g) {
    return side && IsUsable(*side) && g.Dpi > 0;
}

// Worked out from measurements of exactly the limit, a value may miss it
// by a rounding error.
bool ScaleWithinLimit(double scale) { return std::abs(scale - 1) <= MaxScaleDeviation + 1e-12; }
bool OffsetWithinLimit(double mm) { return std::abs(mm) <= MaxOffsetMm + 1e-9; }

QString AxisName(TAxis axis) { return axis == TAxis::Horizontal ? "in der Breite" : "in der Höhe"; }

} // namespace

bool IsUsable(const TAxisCorrection& axis) {
    return std::isfinite(axis.OffsetMm) && std::isfinite(axis.Scale) && ScaleWithinLimit(axis.Scale) &&
           OffsetWithinLimit(axis.OffsetMm);
}

bool IsUsable(const TSideCorrection& side) { return IsUsable(side.X) && IsUsable(side.Y); }

TRect CorrectedRect(const TRect& r, const PrinterGeometry& g, const std::optional<TSideCorrection>& side) {
    if (!Applies(side, g)) return r;
    return {CorrectAxis(r.Left, g.OffsetX, side->X, g.Dpi), CorrectAxis(r.Top, g.OffsetY, side->Y, g.Dpi),
            CorrectAxis(r.Right, g.OffsetX, side->X, g.Dpi), CorrectAxis(r.Bottom, g.OffsetY, side->Y, g.Dpi)};
}

QPoint CorrectedPoint(const QPoint& p, const PrinterGeometry& g, const std::optional<TSideCorrection>& side) {
    if (!Applies(side, g)) return p;
    return {CorrectAxis(p.x(), g.OffsetX, side->X, g.Dpi), CorrectAxis(p.y(), g.OffsetY, side->Y, g.Dpi)};
}

TAxisCorrection FitAxis(TAxis axis, double nominal1, double measured1, double nominal2, double measured2) {
    const QString again = " – bitte messen Sie noch einmal nach.";
    if (!std::isfinite(measured1) || !std::isfinite(measured2) || nominal1 == nominal2)
        throw Exception("Aus den gemessenen Werten lässt sich keine Kalibrierung berechnen" + again);
    const double scale = (measured2 - measured1) / (nominal2 - nominal1);
    if (scale <= 0)
        throw Exception("Die gemessenen Werte " + AxisName(axis) +
                        " liegen in der falschen Reihenfolge. Haben Sie Kreuz 1 und Kreuz 2 vertauscht?");
    if (!ScaleWithinLimit(scale))
        throw Exception("Die gemessenen Werte ergeben eine Verzerrung von " +
                        DecimalTextBeyond(std::abs(scale - 1) * 100, MaxScaleDeviation * 100) + " % " + AxisName(axis) +
                        ". Mehr als " + DecimalText(MaxScaleDeviation * 100, 0) + " % kann nicht ausgeglichen werden" +
                        again);
    const TAxisCorrection fitted{measured1 - scale * nominal1, scale};
    if (!OffsetWithinLimit(fitted.OffsetMm))
        throw Exception("Die gemessenen Werte ergeben eine Verschiebung von " +
                        DecimalTextBeyond(std::abs(fitted.OffsetMm), MaxOffsetMm) + " mm " + AxisName(axis) +
                        ". Mehr als " + DecimalText(MaxOffsetMm, 0) + " mm kann nicht ausgeglichen werden" + again);
    return fitted;
}

} // namespace mx
