#pragma once
// The two arrows of the diagonal spin button, "SPINUP" and "SPINDOWN":
// 6 x 6 pixels, one bit each, black arrow on white, white transparent.
#include <array>
#include <cstdint>

namespace mx {

class TCanvas;

struct TSpinGlyph {
    static constexpr int Size = 6;
    // Row 0 is the top; bit 5 is the leftmost pixel; a set bit is black.
    std::array<std::uint8_t, Size> Rows;
    bool IsBlack(int x, int y) const { return (Rows[y] >> (Size - 1 - x)) & 1; }
};

extern const TSpinGlyph SpinUpGlyph;
extern const TSpinGlyph SpinDownGlyph;

// Copies the glyph with its top-left corner at (x, y): the arrow black, the
// transparent white in the canvas's brush colour.
void DrawSpinGlyph(TCanvas& canvas, const TSpinGlyph& glyph, int x, int y);

} // namespace mx
