#include "print/correction.h"

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

} // namespace

// Worked out from measurements of exactly the limit, a value may miss it
// by a rounding error.
bool ScaleWithinLimit(double scale) { return std::abs(scale - 1) <= MaxScaleDeviation + 1e-12; }
bool OffsetWithinLimit(double mm) { return std::abs(mm) <= MaxOffsetMm + 1e-9; }

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

} // namespace mx
