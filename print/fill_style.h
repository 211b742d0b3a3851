#pragma once
// The seven fill patterns of the overprint style and the one fill rule that
// the swatch and the print jobs share.
#include "platform/canvas.h"

#include <optional>

namespace mx {

constexpr int FillPatternCount = 7;

// The brush pattern of a fill index 0..6; nothing for any other index.
std::optional<TBrushStyle> FillPatternForIndex(int fillIndex);

// Fills r with the foreground brush in the pattern of fillIndex, the gaps
// painted in the background colour. An index without a pattern keeps the
// canvas's current brush pattern.
void ApplyFillRule(TCanvas& canvas, const TRect& r, int fillIndex, TColor foreground, TColor background);

} // namespace mx
