#include "print/overprint_rect.h"

#include "platform/printer.h"
#include "print/correction.h"

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

TRect DeviceRect(const Area& area, bool back, const PrinterGeometry& g,
                 const std::optional<TSideCorrection>& correction) {
    return CorrectedRect(back ? BackRect(area, g) : FrontRect(area, g), g, correction);
}

PrinterGeometry ReadPrinterGeometry(TPrinter& printer) {
    PrinterGeometry g;
    g.Dpi = printer.GetDeviceCaps(LOGPIXELSX);
    g.OffsetX = printer.GetDeviceCaps(PHYSICALOFFSETX);
    g.OffsetY = printer.GetDeviceCaps(PHYSICALOFFSETY);
    g.PaperWidth = printer.GetDeviceCaps(PHYSICALWIDTH);
    g.PaperHeight = printer.GetDeviceCaps(PHYSICALHEIGHT);
    return g;
}

} // namespace mx
