#include "calibration/calibration_page.h"

#include "calibration/calibration_text.h"
#include "calibration/print_document.h"
#include "calibration/side_page.h"
#include "platform/exception.h"
#include "print/overprint_rect.h"

#include <cmath>

namespace mx {

namespace {

constexpr double CrossInsetMm = 20;
// Less between the crosses and a misread millimetre weighs too much.
constexpr double LeastSpanMm = 40;

void DrawCalibrationPage(TSidePage& page, const PrinterGeometry& g, bool back) {
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

std::array<TCalibrationCross, 2> CalibrationCrosses(const PrinterGeometry& g, bool back) {
    if (g.Dpi <= 0) throw EPrinter("Der Drucker meldet keine brauchbare Auflösung");
    // Half inches are whole device pixels at every even resolution, and
    // whole tenths of a millimetre (12,7 mm): a cross lies exactly where
    // its number says, so a printer measured at +1,0 mm is corrected by
    // exactly that.
    const int unitPx = g.Dpi % 2 == 0 ? g.Dpi / 2 : g.Dpi;
    const double unitMm = g.Dpi % 2 == 0 ? 12.7 : 25.4;
    const auto unitsAtLeast = [&](double mm) { return int(std::ceil(mm / DeviceToMm(unitPx, g.Dpi) - 1e-9)); };
    const auto unitsAtMost = [&](double mm) { return int(std::floor(mm / DeviceToMm(unitPx, g.Dpi) + 1e-9)); };
    const int left = unitsAtLeast(DeviceToMm(g.OffsetX, g.Dpi) + CrossInsetMm);
    const int top = unitsAtLeast(DeviceToMm(g.OffsetY, g.Dpi) + CrossInsetMm);
    const int right = unitsAtMost(DeviceToMm(g.PaperWidth - g.OffsetX, g.Dpi) - CrossInsetMm);
    const int bottom = unitsAtMost(DeviceToMm(g.PaperHeight - g.OffsetY, g.Dpi) - CrossInsetMm);
    if ((right - left) * unitMm < LeastSpanMm || (bottom - top) * unitMm < LeastSpanMm)
        throw EPrinter("Das Papier ist zu klein für die Kalibrierseite");
    // Positions on the printed side itself, from its left and top edges.
    const auto cross = [&](int x, int y) {
        return TCalibrationCross{{x * unitPx, y * unitPx}, x * unitMm, y * unitMm};
    };
    // The back's crosses lie as the front's do, mirrored: the first at the
    // top right.
    if (back) return {cross(right, top), cross(left, bottom)};
    return {cross(left, top), cross(right, bottom)};
}

bool PrintCalibrationPage(TPrinter& printer, bool back) {
    // Before a document is opened: a paper too small is said at once.
    CalibrationCrosses(ReadPrinterGeometry(printer), back);
    return PrintOnePage(printer, back ? "Kalibrierseite Rückseite" : "Kalibrierseite",
                        [back](TCanvas& canvas, const PrinterGeometry& g) {
                            TSidePage page(canvas, g, std::nullopt);
                            DrawCalibrationPage(page, g, back);
                        });
}

} // namespace mx
