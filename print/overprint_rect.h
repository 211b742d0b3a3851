#pragma once
// The printed rectangle of the overprint area in device pixels of the
// printer, measured from the printable area's top-left corner.
#include "geometry/sheet_math.h"
#include "platform/canvas.h"

#include <optional>

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

struct TSideCorrection;

TRect FrontRect(const Area& area, const PrinterGeometry& g);
// The same rectangle mirrored about the sheet's vertical centre line.
TRect BackRect(const Area& area, const PrinterGeometry& g);

// The one way from an area's millimetres to the pixels a job fills: the
// front's rectangle or the back's mirrored one, then the printer's
// correction for that side (none: exactly the rectangle).
TRect DeviceRect(const Area& area, bool back, const PrinterGeometry& g,
                 const std::optional<TSideCorrection>& correction);

} // namespace mx
