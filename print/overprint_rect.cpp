#include "print/overprint_rect.h"

namespace mx {

TRect FrontRect(const Area& a, const PrinterGeometry& g) {
    return {MmToDevice(a.Left, g.Dpi) - g.OffsetX, MmToDevice(a.Top, g.Dpi) - g.OffsetY,
            MmToDevice(a.Right, g.Dpi) - g.OffsetX, MmToDevice(a.Bottom, g.Dpi) - g.OffsetY};
}

TRect BackRect(const Area& a, const PrinterGeometry& g) {
    TRect r = FrontRect(a, g);
    r.Left = g.PaperWidth - MmToDevice(a.Right, g.Dpi) - g.OffsetX;
    r.Right = g.PaperWidth - MmToDevice(a.Left, g.Dpi) - g.OffsetX;
    return r;
}

} // namespace mx
