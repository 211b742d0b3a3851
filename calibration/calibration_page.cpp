#include "calibration/calibration_page.h"

#include "calibration/calibration_text.h"
#include "print/print_document.h"
#include "print/page_renderer.h"
#include "platform/exception.h"
#include "print/overprint_rect.h"

#include <cmath>

namespace mx {

namespace {

constexpr double CrossInsetMm = 20;
// Less between the crosses and a misread millimetre weighs too much.
constexpr double LeastSpanMm = 40;

void DrawCalibrationPage(TPageRenderer& page, const PrinterGeometry& g, bool back) {
    const int arm = page.Px(6), gap = page.Px(1.5);
    // Even, so that the lines' middle is the cross's position itself.
    const int line = std::max(2, page.Px(0.2) / 2 * 2);
    int number = 1;
    for (const TCalibrationCross& cross : CalibrationCrosses(g, back)) {
        const QPoint at = page.ToJob(cross.Paper);
        page.Cross(at, arm, line, clBlack);
        // The label goes towards the middle of the page.
        const bool leftHalf = cross.Paper.x() < g.PaperWidth / 2, topHalf = cross.Paper.y() < g.PaperHeight / 2;
        const int x = leftHalf ? at.x() + gap : at.x() - gap;
        const unsigned horizontal = leftHalf ? DT_LEFT : DT_RIGHT;
        const QString title = QString("Kreuz %1").arg(number++);
        const QString position =
            QString("links %1 mm, oben %2 mm").arg(DecimalText(cross.XMm, 1), DecimalText(cross.YMm, 1));
        if (topHalf) {
            page.Text({x, at.y() + gap}, title, horizontal | DT_TOP, 3.5, true);
            page.Text({x, at.y() + gap + page.Px(5)}, position, horizontal | DT_TOP, 3.5);
        } else {
            page.Text({x, at.y() - gap - page.Px(5)}, title, horizontal | DT_BOTTOM, 3.5, true);
            page.Text({x, at.y() - gap}, position, horizontal | DT_BOTTOM, 3.5);
        }
    }

    const QPoint text(page.Px(CrossInsetMm), page.Printable().Height() / 2 - page.Px(15));
    page.Text(text, back ? "Kalibrierseite Rückseite" : "Kalibrierseite Vorderseite", DT_LEFT | DT_TOP, 5, true);
    QStringList lines;
    if (back) lines.append("Legen Sie das Blatt mit dieser Seite nach oben vor sich, die Überschrift oben.");
    lines.append("Messen Sie mit einem Lineal den Abstand der Kreuzmitte vom linken und vom oberen Papierrand.");
    lines.append(QString("Tragen Sie die Werte beider Kreuze im Fenster „Kalibrieren“ unter „%1“ ein.")
                     .arg(back ? "Rückseite" : "Vorderseite"));
    page.Lines(text + QPoint(0, page.Px(8)), lines, 3.5);
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
                            DrawCalibrationPage(page, g, back);
                        });
}

} // namespace mx
