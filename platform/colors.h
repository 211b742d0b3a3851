#pragma once
// Colour values in the form 0x00BBGGRR. A top byte of 0x80 names a system
// colour by its index in the low byte, resolved from the application palette
// at the moment of use.
#include <cstdint>

class QColor;

namespace mx {

using TColor = std::int32_t;

constexpr TColor MakeSysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor RGB(int r, int g, int b) { return static_cast<TColor>((b << 16) | (g << 8) | r); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// System colour indexes (COLOR_*).
enum SysColorIndex {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_WINDOWTEXT = 8,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
};

constexpr TColor clScrollBar = MakeSysColor(COLOR_SCROLLBAR);
constexpr TColor clWindow = MakeSysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = MakeSysColor(COLOR_WINDOWFRAME);
constexpr TColor clWindowText = MakeSysColor(COLOR_WINDOWTEXT);
constexpr TColor clAppWorkSpace = MakeSysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = MakeSysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = MakeSysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = MakeSysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = MakeSysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = MakeSysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = MakeSysColor(COLOR_BTNTEXT);
constexpr TColor clBtnHighlight = MakeSysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = MakeSysColor(COLOR_3DDKSHADOW);

constexpr bool IsSysColor(TColor c) { return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0x80000000u; }

// The current RGB value of a system colour; any other value unchanged.
TColor ColorToRGB(TColor c);
// The QColor a value stands for now (top byte ignored for plain values).
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);

} // namespace mx
