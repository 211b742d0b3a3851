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
    const double left = std::round(DeviceToMm(g.OffsetX, g.Dpi) + CrossInsetMm);
    const double top = std::round(DeviceToMm(g.OffsetY, g.Dpi) + CrossInsetMm);
    const double right = std::round(DeviceToMm(g.PaperWidth - g.OffsetX, g.Dpi) - CrossInsetMm);
    const double bottom = std::round(DeviceToMm(g.PaperHeight - g.OffsetY, g.Dpi) - CrossInsetMm);
    if (right - left < LeastSpanMm || bottom - top < LeastSpanMm)
        throw EPrinter("Das Papier ist zu klein für die Kalibrierseite");
    const auto cross = [&](double xMm, double yMm) {
        int x = MmToDevice(xMm, g.Dpi);
        const int y = MmToDevice(yMm, g.Dpi);
        if (back) x = g.PaperWidth - x; // as BackRect mirrors an edge
        return TCalibrationCross{{x, y}, DeviceToMm(x, g.Dpi), DeviceToMm(y, g.Dpi)};
    };
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
