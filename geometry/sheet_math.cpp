#include "geometry/sheet_math.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace mx {

int TruncToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

int SaturateToInt(long long v) {
    return int(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

double DeviceToMm(int pixels, int dpi) { return pixels * MmPerInch / dpi; }

int MmToDevice(double mm, int dpi) { return TruncToInt(mm / MmPerInch * dpi); }

int SheetScreenPixels(int devicePixels, int screenDpi, int printerDpi, int zoom) {
    if (printerDpi <= 0) return 0;
    const double screenLength = static_cast<double>(static_cast<long long>(devicePixels) * screenDpi) / printerDpi;
    return std::min(TruncToInt(zoom * screenLength / 100), MaxPreviewPixels);
}

int EdgeToPreview(double mm, int zoom, int screenDpi, int origin) {
    return SaturateToInt(static_cast<long long>(TruncToInt(zoom * (mm / MmPerInch * screenDpi) / 100)) + origin);
}

double PreviewToMm(int position, int origin, int zoom, int screenDpi) {
    const long long scaled = static_cast<long long>(position - origin) * 100;
    return static_cast<double>(scaled) / zoom / screenDpi * MmPerInch;
}

void NormaliseArea(Area& a, double w, double h) {
    ExchangeReversedEdges(a);
    ClampToSheet(a, w, h);
}

void ExchangeReversedEdges(Area& a) {
    if (a.Left > a.Right) std::swap(a.Left, a.Right);
    if (a.Top > a.Bottom) std::swap(a.Top, a.Bottom);
}

bool IsReversed(const Area& a) { return a.Left > a.Right || a.Top > a.Bottom; }

void ClampToSheet(Area& a, double w, double h) {
    if (a.Left < 0) a.Left = 0;
    if (a.Left > w) a.Left = w;
    if (a.Right > w) a.Right = w;
    if (a.Right < 0) a.Right = 0;
    if (a.Top < 0) a.Top = 0;
    if (a.Top > h) a.Top = h;
    if (a.Bottom > h) a.Bottom = h;
    if (a.Bottom < 0) a.Bottom = 0;
}

AxisLayout LayOutAxis(int sheetPixels, int scrollBoxLength, int scrollBarExtent) {
    AxisLayout layout;
    layout.Length = sheetPixels + 36;
    const int available = scrollBoxLength - scrollBarExtent - 4;
    if (available > layout.Length) {
        const int wanted = available + 1;
        layout.Origin = 16 + (wanted - layout.Length) / 2;
        layout.Length = wanted;
    }
    return layout;
}

GrabZones HitTestEdges(int x, int y, int l, int t, int r, int b) {
    GrabZones z;
    const bool betweenTopBottom = t <= y && y <= b;
    const bool betweenLeftRight = l <= x && x <= r;
    z.Left = x + 5 > l && x - 5 < l && x < r && betweenTopBottom;
    z.Right = !z.Left && x + 5 > r && x - 5 < r && x > l && betweenTopBottom;
    z.Top = y + 5 > t && y - 5 < t && y < b && betweenLeftRight;
    z.Bottom = !z.Top && y + 5 > b && y - 5 < b && y > t && betweenLeftRight;
    return z;
}

SizeCursor CursorForZones(const GrabZones& z) {
    const bool horizontal = z.Left || z.Right, vertical = z.Top || z.Bottom;
    if (horizontal && !vertical) return SizeCursor::SizeWE;
    if (vertical && !horizontal) return SizeCursor::SizeNS;
    if ((z.Left && z.Top) || (z.Right && z.Bottom)) return SizeCursor::SizeNWSE;
    if ((z.Right && z.Top) || (z.Left && z.Bottom)) return SizeCursor::SizeNESW;
    return SizeCursor::Default;
}

std::vector<RulerMark> RulerMarks(int start, int end, double lengthMm, int extent) {
    std::vector<RulerMark> marks;
    const int p = end - start;
    if (p == 0 || lengthMm == 0) return marks;
    const double m = lengthMm;
    const int first = -TruncToInt(m * start / p);
    const int last = TruncToInt((extent - start) * m / p);
    for (int mm = first; mm <= last; ++mm) {
        const int r = std::abs(mm) % 10;
        if (r != 5 && r != 0) continue;
        const int x = TruncToInt(static_cast<double>(static_cast<long long>(p) * mm) / m + start);
        if (r == 5) {
            marks.push_back({RulerMark::Half, x, 0});
        } else {
            const int k = mm / 10;
            marks.push_back({k % 2 == 0 ? RulerMark::Whole : RulerMark::Number, x, k});
        }
    }
    return marks;
}

} // namespace mx
