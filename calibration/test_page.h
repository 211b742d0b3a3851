#pragma once
// The test print: one page that shows where the overprint area lands, with
// the same conversions and the same correction as the real jobs.
#include "print/correction.h"

#include <QList>

namespace mx {

struct Area;
class TPrinter;

// Width of the area's outline on the page.
inline constexpr double TestOutlineMm = 0.3;

// Prints the outline of the first area (millimetres from the sheet's
// corner, as the jobs take it), its guide lines to the edges of the
// printable region, a cross with its millimetres at each corner and
// millimetre scales along the top and the left; the further areas outlined
// and numbered from 1, as the preview numbers them. The back is mirrored as
// the back job mirrors. False when the user cancelled the choice of where
// to print.
bool PrintTestPage(TPrinter& printer, const QList<Area>& areasMm, bool back, const TPrinterCalibration& calibration);

} // namespace mx
