#pragma once
// The printed rectangle of the overprint area in device pixels of the
// printer, measured from the printable area's top-left corner.
#include "platform/canvas.h"
#include "sheet/sheet_math.h"

namespace mx {

struct PrinterGeometry {
    int Dpi = 0; // horizontal resolution, used for both axes
    int OffsetX = 0;
    int OffsetY = 0;
    int PaperWidth = 0;  // device pixels, for the back of the sheet
    int PaperHeight = 0; // device pixels
};

class TPrinter;
// The whole geometry of the printer as it reports it now.
PrinterGeometry ReadPrinterGeometry(TPrinter& printer);

TRect FrontRect(const Area& area, const PrinterGeometry& g);
// The same rectangle mirrored about the sheet's vertical centre line.
TRect BackRect(const Area& area, const PrinterGeometry& g);

} // namespace mx
