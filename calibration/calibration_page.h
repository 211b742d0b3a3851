#pragma once
// The calibration page: five marks at known places (calibration_marks.h)
// that a scan of the page is measured by, two of them, "Marke 1" and
// "Marke 2", also with a ruler.
//
// Every page is measured the same way: the printed side lies upright in
// front of the user, and the ruler goes from that side's left and from its
// top edge to the centre of a mark. For the front these are the sheet's
// millimetres; for the back they are the device's own positions on the
// back, which the back job reaches by mirroring (x becomes paper width
// less x). So the back page arranges its marks as the front's mirrored,
// states their nominal millimetres as measured on the back itself, and the
// back's correction works on the mirrored rectangles in the same
// coordinates. The page is printed without any correction, so the
// measurement shows the printer's own deviation.
#include <QPoint>
#include <array>

namespace mx {

struct PrinterGeometry;
class TPrinter;

struct TCalibrationCross {
    QPoint Paper;    // device pixels from the printed side's left and top edges
    double XMm, YMm; // the same in millimetres: what the ruler should show
};

// Where the calibration page puts its marks: on whole half inches (whole
// inches at an odd resolution), which are whole device pixels and whole
// tenths of a millimetre, so a mark lies exactly where its number says.
// The outermost lines at least 20 mm inside the printable region.
struct TCalibrationGrid {
    int UnitPx = 0;
    double UnitMm = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0; // in units
    // The point units x, y from the printed side's left and top edges.
    TCalibrationCross At(int x, int y) const { return {{x * UnitPx, y * UnitPx}, x * UnitMm, y * UnitMm}; }
    double WidthMm() const { return (Right - Left) * UnitMm; }
    double HeightMm() const { return (Bottom - Top) * UnitMm; }
};
// Raises EPrinter without a usable resolution.
TCalibrationGrid CalibrationGrid(const PrinterGeometry& g);
// Where the manual way measures, marks 1 and 2 of the page: the first
// near the top-left, the second near the bottom-right of the front's
// printable region, at least 20 mm inside its corners on whole half
// inches; on the back the first near the top-right, the second near the
// bottom-left. Raises EPrinter when the paper is too small for them.
std::array<TCalibrationCross, 2> CalibrationCrosses(const PrinterGeometry& g, bool back);

// False when the user cancelled the choice of where to print.
bool PrintCalibrationPage(TPrinter& printer, bool back);

} // namespace mx
