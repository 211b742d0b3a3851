#include "calibration/test_page.h"

#include "calibration/calibration_text.h"
#include "print/overprint_rect.h"
#include "print/page_renderer.h"
#include "print/print_document.h"

#include <algorithm>

namespace mx {

namespace {

// Light enough to tell from the outline, dark enough to see on paper.
constexpr TColor GuideGrey = 0x00969696;

// "20,0 / 30,0"
QString CornerText(double xMm, double yMm) { return DecimalText(xMm, 1) + " / " + DecimalText(yMm, 1); }

void DrawGuides(TPageRenderer& page, const TRect& r) {
    const TRect printable = page.Printable();
    const int w = page.Width(0.1);
    for (const auto& [from, to] : {std::pair{printable.Top, r.Top}, std::pair{r.Bottom, printable.Bottom}}) {
        page.Fill({r.Left, from, r.Left + w, to}, GuideGrey);
        page.Fill({r.Right - w, from, r.Right, to}, GuideGrey);
    }
    for (const auto& [from, to] : {std::pair{printable.Left, r.Left}, std::pair{r.Right, printable.Right}}) {
        page.Fill({from, r.Top, to, r.Top + w}, GuideGrey);
        page.Fill({from, r.Bottom - w, to, r.Bottom}, GuideGrey);
    }
}

TRect UncorrectedRect(const Area& a, bool back, const PrinterGeometry& g) {
    TRect r = DeviceRect(a, back, g, std::nullopt);
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

// A further area: its outline, and its number inside the top-left corner.
void DrawFurtherArea(TPageRenderer& page, const PrinterGeometry& g, const Area& a, bool back, int number) {
    const TRect r = UncorrectedRect(a, back, g);
    page.Frame(r, page.Width(TestOutlineMm), clBlack);
    page.Text({r.Left + page.Px(1), r.Top + page.Px(1)}, QString::number(number), DT_LEFT | DT_TOP, 3, true);
}

void DrawTestPage(TPageRenderer& page, const PrinterGeometry& g, const Area& a, bool back,
                  const std::optional<TSideCorrection>& side) {
    const TRect r = UncorrectedRect(a, back, g);
    DrawGuides(page, r);
    page.MillimetreScales();
    const int line = page.Width(TestOutlineMm);
    page.Frame(r, line, clBlack);

    // The corners in this side's millimetres: what a ruler laid on the
    // printed side from its left and top edges shows.
    const double left = std::min(a.Left, a.Right), right = std::max(a.Left, a.Right);
    const double top = std::min(a.Top, a.Bottom), bottom = std::max(a.Top, a.Bottom);
    const double sheetWidth = DeviceToMm(g.PaperWidth, g.Dpi);
    const double sideLeft = back ? sheetWidth - right : left;
    const double sideRight = back ? sheetWidth - left : right;
    const int arm = page.Px(2.5), gap = page.Px(1);
    struct Corner {
        QPoint at;
        double xMm, yMm;
        unsigned align;
        QPoint towards;
    };
    const Corner corners[] = {
        {{r.Left, r.Top}, sideLeft, top, DT_RIGHT | DT_BOTTOM, {-gap, -gap}},
        {{r.Right, r.Top}, sideRight, top, DT_LEFT | DT_BOTTOM, {gap, -gap}},
        {{r.Left, r.Bottom}, sideLeft, bottom, DT_RIGHT | DT_TOP, {-gap, gap}},
        {{r.Right, r.Bottom}, sideRight, bottom, DT_LEFT | DT_TOP, {gap, gap}},
    };
    for (const Corner& c : corners) {
        page.Cross(c.at, arm, line, clBlack);
        page.Text(c.at + c.towards, CornerText(c.xMm, c.yMm), c.align, 2.5);
    }

    // The texts go where the area leaves room for them: above it, below
    // it, or inside an area that fills the page.
    const int margin = page.Px(12), room = page.Px(45);
    const TRect printable = page.Printable();
    QPoint text(margin, margin);
    if (r.Top < room)
        text = r.Bottom + room <= printable.Bottom
                   ? QPoint(margin, r.Bottom + margin)
                   : QPoint(std::max(margin, r.Left + margin), std::max(margin, r.Top + margin));
    page.Text(text, back ? "Testdruck Rückseite" : "Testdruck", DT_LEFT | DT_TOP, 5, true);
    QStringList lines{
        QString("Bereich: links %1 mm, rechts %2 mm, oben %3 mm, unten %4 mm")
            .arg(DecimalText(left, 1), DecimalText(right, 1), DecimalText(top, 1), DecimalText(bottom, 1))};
    lines.append(back ? "Gespiegelt wie beim Vernichten der Rückseite; die Zahlen an den Ecken gelten vom linken "
                        "und oberen Rand dieser Seite."
                      : "Die Zahlen an den Ecken gelten vom linken und oberen Rand des Blattes.");
    lines.append("Kalibrierung dieser Seite: " + DescribeSide(side));
    page.Lines(text + QPoint(0, page.Px(8)), lines, 3);
}

} // namespace

bool PrintTestPage(TPrinter& printer, const QList<Area>& areasMm, bool back, const TPrinterCalibration& calibration) {
    if (areasMm.isEmpty()) return false;
    return PrintDocument(printer, back ? "Testdruck Rückseite" : "Testdruck", 1,
                         [&](TCanvas& canvas, const PrinterGeometry& g, int) {
                             const auto& side = calibration.Side(back);
                             TPageRenderer page(canvas, g, side);
                             DrawTestPage(page, g, areasMm.first(), back, side);
                             for (int i = 1; i < areasMm.size(); ++i) DrawFurtherArea(page, g, areasMm[i], back, i);
                         });
}

} // namespace mx
