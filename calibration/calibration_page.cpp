#include "calibration/calibration_page.h"

#include "calibration/calibration_marks.h"
#include "platform/exception.h"
#include "print/overprint_rect.h"
#include "print/page_renderer.h"
#include "print/print_document.h"

#include <cmath>

namespace mx {

namespace {

constexpr double CrossInsetMm = 20;
// Less between the manual way's marks and a misread millimetre weighs too
// much.
constexpr double LeastSpanMm = 40;

// The marks, and the page's title and instructions between the top marks
// and the middle one, clear of every mark and its label.
void DrawCalibrationPage(TCanvas& canvas, TPageRenderer& page, const PrinterGeometry& g, bool back) {
    DrawCalibrationMarks(canvas, g, back);
    const std::array<TCalibrationMark, 5> marks = CalibrationMarks(g, back);
    const int below = std::max(CalibrationMarkBounds(marks[0], g).Bottom, CalibrationMarkBounds(marks[1], g).Bottom);
    const int above = CalibrationMarkBounds(marks[4], g).Top;

    const QString sideName = back ? "Rückseite" : "Vorderseite";
    QPoint at(page.Px(CrossInsetMm), below + page.Px(8));
    page.Text(at, "Kalibrierseite " + sideName, DT_LEFT | DT_TOP, 5, true);
    at.ry() += page.Px(10);
    QStringList lines;
    if (back) lines << "Legen Sie das Blatt mit dieser Seite nach oben vor sich, die Überschrift oben.";
    lines << "Von Hand: Messen Sie mit einem Lineal den Abstand der Mitte der Marken 1 und 2 vom linken"
          << "und vom oberen Papierrand und tragen Sie die Werte im Fenster „Kalibrieren“ unter „" + sideName + "“ ein."
          << QString()
          << "Mit einem Scanner: Legen Sie das Blatt mit dieser Seite nach unten auf das Glas, mit etwas Abstand"
          << "zu den Rändern, und wählen Sie im Fenster „Kalibrieren“ unter „" + sideName + "“ „Aus Scan kalibrieren“.";
    // On a small sheet the lines that would reach the middle mark are left out.
    const int lineStep = page.Px(3.5 * 1.5);
    for (const QString& line : lines) {
        if (at.y() + lineStep > above) break;
        page.Text(at, line, DT_LEFT | DT_TOP, 3.5);
        at.ry() += lineStep;
    }
}

} // namespace

TCalibrationGrid CalibrationGrid(const PrinterGeometry& g) {
    if (g.Dpi <= 0) throw EPrinter("Der Drucker meldet keine brauchbare Auflösung");
    TCalibrationGrid grid;
    grid.UnitPx = g.Dpi % 2 == 0 ? g.Dpi / 2 : g.Dpi;
    grid.UnitMm = g.Dpi % 2 == 0 ? 12.7 : 25.4;
    const double unit = DeviceToMm(grid.UnitPx, g.Dpi);
    const auto atLeast = [&](double mm) { return int(std::ceil(mm / unit - 1e-9)); };
    const auto atMost = [&](double mm) { return int(std::floor(mm / unit + 1e-9)); };
    grid.Left = atLeast(DeviceToMm(g.OffsetX, g.Dpi) + CrossInsetMm);
    grid.Top = atLeast(DeviceToMm(g.OffsetY, g.Dpi) + CrossInsetMm);
    grid.Right = atMost(DeviceToMm(g.PaperWidth - g.OffsetX, g.Dpi) - CrossInsetMm);
    grid.Bottom = atMost(DeviceToMm(g.PaperHeight - g.OffsetY, g.Dpi) - CrossInsetMm);
    return grid;
}

std::array<TCalibrationCross, 2> CalibrationCrosses(const PrinterGeometry& g, bool back) {
    const TCalibrationGrid grid = CalibrationGrid(g);
    if (grid.WidthMm() < LeastSpanMm || grid.HeightMm() < LeastSpanMm)
        throw EPrinter("Das Papier ist zu klein für die Kalibrierseite");
    // The back's crosses lie as the front's do, mirrored: the first at the
    // top right; their positions count from the back's own edges.
    if (back) return {grid.At(grid.Right, grid.Top), grid.At(grid.Left, grid.Bottom)};
    return {grid.At(grid.Left, grid.Top), grid.At(grid.Right, grid.Bottom)};
}

bool PrintCalibrationPage(TPrinter& printer, bool back) {
    // Before a document is opened: a paper too small is said at once.
    CalibrationCrosses(ReadPrinterGeometry(printer), back);
    return PrintDocument(printer, back ? "Kalibrierseite Rückseite" : "Kalibrierseite", 1,
                         [back](TCanvas& canvas, const PrinterGeometry& g, int) {
                             TPageRenderer page(canvas, g, std::nullopt);
                             DrawCalibrationPage(canvas, page, g, back);
                         });
}

} // namespace mx
