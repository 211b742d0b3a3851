#pragma once
// Pure computations of the sheet, the overprint area, the preview layout,
// the rulers and the mouse grab zones. All pixel results truncate toward
// zero; millimetres are measured from the physical sheet's top-left corner.
#include <vector>

namespace mx {

// Millimetres per inch used by every conversion of the program.
inline constexpr double MmPerInch = 25.39995;

// Truncation toward zero into the int range: NaN gives 0, values beyond
// the range its nearest limit, never undefined behaviour.
int TruncToInt(double v);
// A whole-number sum or product brought into the int range the same way.
int SaturateToInt(long long v);

// Millimetres of a length in device pixels at a resolution.
double DeviceToMm(int pixels, int dpi);
// Device pixel of a millimetre position, truncated: trunc(mm / MmPerInch * dpi).
int MmToDevice(double mm, int dpi);

// Sheet length on screen: Trunc(z * (w * s / p) / 100), at most
// MaxPreviewPixels, so that the preview's sums stay in range.
int SheetScreenPixels(int devicePixels, int screenDpi, int printerDpi, int zoom);
// The largest widget the toolkit makes: a longer sheet could not be shown.
inline constexpr int MaxPreviewPixels = 16777215;
// Preview pixel of an edge: Trunc(z * (mm / MmPerInch * s) / 100) + origin.
int EdgeToPreview(double mm, int zoom, int screenDpi, int origin);
// Millimetres of a preview position: (pos - origin) * 100 / z / s * MmPerInch.
double PreviewToMm(int position, int origin, int zoom, int screenDpi);

struct Area {
    double Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// Exchanges reversed edges, then clamps them to the sheet in a fixed order.
void NormaliseArea(Area& area, double sheetWidthMm, double sheetHeightMm);
// The two halves of that rule.
void ExchangeReversedEdges(Area& area);
void ClampToSheet(Area& area, double sheetWidthMm, double sheetHeightMm);
bool IsReversed(const Area& area);

// One axis of the preview layout: the sheet's origin and the preview's
// length. The sheet is centred when the scroll box has room to spare.
struct AxisLayout {
    int Origin = 16;
    int Length = 0;
};
AxisLayout LayOutAxis(int sheetPixels, int scrollBoxLength, int scrollBarExtent);

// The grab zones of the area's edges around a mouse position.
struct GrabZones {
    bool Left = false, Top = false, Right = false, Bottom = false;
    bool Any() const { return Left || Top || Right || Bottom; }
};
GrabZones HitTestEdges(int x, int y, int left, int top, int right, int bottom);

enum class SizeCursor { Default, SizeWE, SizeNS, SizeNWSE, SizeNESW };
SizeCursor CursorForZones(const GrabZones& zones);

// Marks of a centimetre ruler along one axis.
struct RulerMark {
    enum Kind { Half, Whole, Number } kind;
    int Position;   // pixel along the ruler
    int Centimetre; // for Whole and Number
};
// start, end: the sheet's edges in ruler coordinates; lengthMm: the sheet's
// length; extent: the ruler's own length in pixels.
std::vector<RulerMark> RulerMarks(int start, int end, double lengthMm, int extent);

} // namespace mx
