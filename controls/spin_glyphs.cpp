#include "controls/spin_glyphs.h"

#include "platform/canvas.h"

namespace mx {

const TSpinGlyph SpinUpGlyph{{
    0b001100,
    0b011110,
    0b111111,
    0b001100,
    0b001100,
    0b001100,
}};

const TSpinGlyph SpinDownGlyph{{
    0b001100,
    0b001100,
    0b001100,
    0b111111,
    0b011110,
    0b001100,
}};

void DrawSpinGlyph(TCanvas& canvas, const TSpinGlyph& glyph, int x, int y) {
    const TColor background = canvas.Brush().Color;
    for (int row = 0; row < TSpinGlyph::Size; ++row)
        for (int col = 0; col < TSpinGlyph::Size; ++col)
            canvas.SetPixel(x + col, y + row, glyph.IsBlack(col, row) ? clBlack : background);
}

} // namespace mx
