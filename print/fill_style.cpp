#include "print/fill_style.h"

namespace mx {

std::optional<TBrushStyle> FillPatternForIndex(int fillIndex) {
    // In the order of the fill list; "Diagonal 1" rises, "Diagonal 2" falls.
    static constexpr TBrushStyle patterns[FillPatternCount] = {
        bsSolid, bsCross, bsDiagCross, bsBDiagonal, bsFDiagonal, bsHorizontal, bsVertical,
    };
    if (fillIndex < 0 || fillIndex >= FillPatternCount) return std::nullopt;
    return patterns[fillIndex];
}

void ApplyFillRule(TCanvas& canvas, const TRect& r, int fillIndex, TColor foreground, TColor background) {
    canvas.SetBrushColor(foreground);
    if (const auto pattern = FillPatternForIndex(fillIndex)) canvas.SetBrushStyle(*pattern);
    canvas.SetBkColor(background);
    canvas.SetBkMode(OPAQUE);
    canvas.FillRect(r);
}

} // namespace mx
