#pragma once
// Finding a sheet of known size in a scan: it may lie anywhere on the
// glass, turned a little or by a quarter, in front of the scanner's lid.
// The paper's four edges are fitted to many edge points each, and the
// sheet's known size gives the scan's own scale along each axis, so a
// scanner's scale error does not reach the sheet's millimetres.
//
// The frame found reads the sheet as lying nearest to upright (or, lying
// across, turned clockwise); whether it lies on its head or mirrored only
// its content can tell: see TSheetFrame::Turned and Mirrored.
//
// Pure computation on an image: callable from any thread.
#include "sheetscan/sheet_frame.h"

#include <array>

class QImage;

namespace mx {

class TGreyImage;

struct TSheetScan {
    TSheetFrame Frame;
    double Dpi = 0; // the resolution the scan states
    // The scan's own scale along the sheet's width and height against its
    // stated resolution: 1.003 when the scanner makes things 0.3 % larger.
    double ScanScaleX = 1, ScanScaleY = 1;
    // Standard error of each edge's position, millimetres: left, top,
    // right, bottom.
    std::array<double, 4> EdgeErrorMm{};
};

// Raises EScanReading with a German message when there is no sheet of the
// size on the scan, when it is cut off at the scan's border or when its
// edges cannot be made out. `dpi` is the scan's stated resolution.
TSheetScan FindSheet(const TGreyImage& scan, double dpi, QSizeF paperMm);
TSheetScan FindSheet(const QImage& scan, double dpi, QSizeF paperMm);

} // namespace mx
