// The test print and the calibration page on the scripted printer: where
// their marks land, mirrored and corrected like the jobs' rectangles.
#include "calibration/axis_fit.h"
#include "calibration/calibration_marks.h"
#include "calibration/calibration_page.h"
#include "calibration/test_page.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "print/overprint_rect.h"
#include "tests/support/test_printer.h"
#include "tests/support/test_support.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

// Letter at 300 dpi: small enough to render whole pages quickly.
TTestGeometry Letter300() {
    TTestGeometry t;
    t.DpiX = t.DpiY = 300;
    t.PhysicalWidth = 2550;
    t.PhysicalHeight = 3300;
    t.OffsetX = 50;
    t.OffsetY = 75;
    return t;
}

bool IsBlack(const QImage& page, int x, int y) { return page.valid(x, y) && (page.pixel(x, y) & 0xFFFFFF) == 0; }

// The run of black pixels through (x, y) along a row or a column, as
// [first, last + 1); empty when (x, y) is not black.
std::pair<int, int> BlackRun(const QImage& page, int x, int y, bool alongRow) {
    if (!IsBlack(page, x, y)) return {0, 0};
    int from = alongRow ? x : y, to = from;
    const auto black = [&](int v) { return alongRow ? IsBlack(page, v, y) : IsBlack(page, x, v); };
    while (black(from - 1)) --from;
    while (black(to + 1)) ++to;
    return {from, to + 1};
}

class Pages : public testing::Test {
protected:
    TTestPrinter printer{Letter300()};
    PrinterGeometry g = ReadPrinterGeometry(printer);
    const Area area{40, 120, 60, 150};

    const QImage& OnlyPage() {
        EXPECT_EQ(printer.Documents.size(), 1u);
        EXPECT_EQ(printer.Documents.back().PageCount, 1);
        EXPECT_TRUE(printer.Documents.back().Ended);
        return printer.Documents.back().Pages.back();
    }
};

} // namespace

TEST_F(Pages, TestPageOutlineLiesOnTheEdgesOfTheJobsRectangle) {
    const TSideCorrection shifted{{1.0, 1.002}, {-0.5, 0.997}};
    const int line = MmToDevice(TestOutlineMm, g.Dpi);
    for (const bool back : {false, true}) {
        for (const auto& side : {std::optional<TSideCorrection>(), std::optional(shifted)}) {
            SCOPED_TRACE(std::string(back ? "back" : "front") + (side ? ", corrected" : ""));
            printer.Documents.clear();
            TPrinterCalibration calibration;
            (back ? calibration.Back : calibration.Front) = side;
            ASSERT_TRUE(PrintTestPage(printer, {area}, back, calibration));
            EXPECT_EQ(printer.Documents.back().Title, back ? "Testdruck Rückseite" : "Testdruck");
            const QImage& page = OnlyPage();
            // Where the job fills the same area on this printer.
            const TRect fill = CorrectedRect(back ? BackRect(area, g) : FrontRect(area, g), g, side);
            const int midX = (fill.Left + fill.Right) / 2, midY = (fill.Top + fill.Bottom) / 2;
            const auto left = BlackRun(page, fill.Left, midY, true);
            const auto right = BlackRun(page, fill.Right - 1, midY, true);
            const auto top = BlackRun(page, midX, fill.Top, false);
            const auto bottom = BlackRun(page, midX, fill.Bottom - 1, false);
            EXPECT_EQ(left.first, fill.Left);
            EXPECT_EQ(right.second, fill.Right);
            EXPECT_EQ(top.first, fill.Top);
            EXPECT_EQ(bottom.second, fill.Bottom);
            for (const auto& run : {left, right, top, bottom}) EXPECT_NEAR(run.second - run.first, line, 1);
            // Guide lines continue the edges in grey out to the printable region.
            EXPECT_EQ(page.pixel(fill.Left, fill.Top - 40) & 0xFFFFFF, 0x969696u);
            EXPECT_EQ(page.pixel(fill.Right - 1, fill.Bottom + 40) & 0xFFFFFF, 0x969696u);
            EXPECT_EQ(page.pixel(fill.Right + 40, fill.Top) & 0xFFFFFF, 0x969696u);
        }
    }
}

TEST_F(Pages, TestPageScalesCountMillimetresFromThePapersEdges) {
    ASSERT_TRUE(PrintTestPage(printer, {area}, false, {}));
    const QImage& page = OnlyPage();
    // Ticks hang from the printable region's top edge at whole paper
    // millimetres: long at 10, middle at 5, short otherwise.
    for (const auto& [mm, lengthMm] : {std::pair{30, 4.0}, {35, 2.5}, {31, 1.5}, {148, 1.5}, {150, 4.0}}) {
        SCOPED_TRACE(mm);
        const int x = MmToDevice(mm, g.Dpi) - g.OffsetX;
        const auto run = BlackRun(page, x, 0, false);
        EXPECT_EQ(run.first, 0);
        EXPECT_EQ(run.second, MmToDevice(lengthMm, g.Dpi));
    }
    // The left scale the same way down the left edge.
    const int y = MmToDevice(200, g.Dpi) - g.OffsetY;
    EXPECT_EQ(BlackRun(page, 0, y, true).second, MmToDevice(4.0, g.Dpi));
    EXPECT_FALSE(IsBlack(page, 1, MmToDevice(202.5, g.Dpi) - g.OffsetY - 2));
}

// A correction that moves the page towards its edges moves the scales
// inward, so the device cuts none of their ticks.
TEST_F(Pages, TestPageScalesStayWholeUnderACorrectionTowardsTheEdge) {
    const TSideCorrection shifted{{1.05, 1.0}, {1.05, 1.0}};
    ASSERT_TRUE(PrintTestPage(printer, {area}, false, {shifted, {}}));
    const QImage& page = OnlyPage();
    const auto within = [&](bool alongRow, int at) {
        for (int v = 0; v < MmToDevice(10, g.Dpi); ++v)
            if (IsBlack(page, alongRow ? v : at, alongRow ? at : v))
                return BlackRun(page, alongRow ? v : at, alongRow ? at : v, alongRow);
        return std::pair{0, 0};
    };
    // The 200-mm tick of the left scale and the 150-mm tick of the top one.
    const TRect left =
        CorrectedRect({0, MmToDevice(200, g.Dpi) - g.OffsetY, 1, MmToDevice(200, g.Dpi) - g.OffsetY + 1}, g, shifted);
    const auto leftRun = within(true, left.Top);
    EXPECT_GE(leftRun.first, 0);
    EXPECT_NEAR(leftRun.second - leftRun.first, MmToDevice(4.0, g.Dpi), 1);
    const TRect top =
        CorrectedRect({MmToDevice(150, g.Dpi) - g.OffsetX, 0, MmToDevice(150, g.Dpi) - g.OffsetX + 1, 1}, g, shifted);
    const auto topRun = within(false, top.Left);
    EXPECT_GE(topRun.first, 0);
    EXPECT_NEAR(topRun.second - topRun.first, MmToDevice(4.0, g.Dpi), 1);
}

// Further areas are outlined where the job fills them, the number inside.
TEST_F(Pages, TestPageOutlinesFurtherAreasNumbered) {
    const Area second{130, 170, 200, 230};
    ASSERT_TRUE(PrintTestPage(printer, {area, second}, false, {}));
    const QImage& page = OnlyPage();
    const TRect r = FrontRect(second, g);
    const int midY = (r.Top + r.Bottom) / 2, midX = (r.Left + r.Right) / 2;
    EXPECT_EQ(BlackRun(page, r.Left, midY, true).first, r.Left);
    EXPECT_EQ(BlackRun(page, r.Right - 1, midY, true).second, r.Right);
    EXPECT_EQ(BlackRun(page, midX, r.Top, false).first, r.Top);
    // The number "1" inside the top-left corner, nothing in the middle.
    int ink = 0;
    for (int y = r.Top + MmToDevice(1, g.Dpi); y < r.Top + MmToDevice(5, g.Dpi); ++y)
        for (int x = r.Left + MmToDevice(1, g.Dpi); x < r.Left + MmToDevice(4, g.Dpi); ++x) ink += IsBlack(page, x, y);
    EXPECT_GT(ink, 5);
    EXPECT_FALSE(IsBlack(page, midX, midY));
}

TEST_F(Pages, CalibrationCrossesSitWhereTheirMillimetresSay) {
    const auto front = CalibrationCrosses(g, false), back = CalibrationCrosses(g, true);
    // At least 20 mm inside the printable corners, on whole half inches:
    // whole pixels at 300 dpi and whole tenths of a millimetre.
    EXPECT_EQ(front[0].Paper, QPoint(300, 450));
    EXPECT_EQ(front[1].Paper, QPoint(2250, 2850));
    EXPECT_DOUBLE_EQ(front[0].XMm, 25.4);
    EXPECT_DOUBLE_EQ(front[0].YMm, 38.1);
    EXPECT_DOUBLE_EQ(front[1].XMm, 190.5);
    EXPECT_DOUBLE_EQ(front[1].YMm, 241.3);
    // The back's arranged as the front's mirrored, measured on the back.
    EXPECT_EQ(back[0].Paper, QPoint(2250, 450));
    EXPECT_EQ(back[1].Paper, QPoint(300, 2850));
    for (const auto& cross : {front[0], front[1], back[0], back[1]}) {
        EXPECT_NEAR(DeviceToMm(cross.Paper.x(), g.Dpi), cross.XMm, 0.001);
        EXPECT_NEAR(DeviceToMm(cross.Paper.y(), g.Dpi), cross.YMm, 0.001);
    }
    // An odd resolution has no whole half inches: whole inches then.
    PrinterGeometry odd = g;
    odd.Dpi = 75;
    odd.PaperWidth = 638;
    odd.PaperHeight = 825;
    odd.OffsetX = odd.OffsetY = 0;
    EXPECT_EQ(CalibrationCrosses(odd, false)[0].Paper, QPoint(75, 75));
    EXPECT_DOUBLE_EQ(CalibrationCrosses(odd, false)[0].XMm, 25.4);

    for (const bool isBack : {false, true}) {
        printer.Documents.clear();
        ASSERT_TRUE(PrintCalibrationPage(printer, isBack));
        EXPECT_EQ(printer.Documents.back().Title, isBack ? "Kalibrierseite Rückseite" : "Kalibrierseite");
        const QImage& page = OnlyPage();
        for (const TCalibrationCross& cross : isBack ? back : front) {
            // The middle of the mark there is the position itself: its core
            // and its ring lie symmetric about it.
            const QPoint at = cross.Paper - QPoint(g.OffsetX, g.OffsetY);
            const int ring = MmToDevice((MarkOuterHalfMm + MarkRingInnerHalfMm) / 2, g.Dpi);
            for (const bool alongRow : {true, false}) {
                const auto core = BlackRun(page, at.x(), at.y(), alongRow);
                const auto bar = alongRow ? BlackRun(page, at.x(), at.y() + ring, true)
                                          : BlackRun(page, at.x() + ring, at.y(), false);
                const int middle = alongRow ? at.x() : at.y();
                EXPECT_EQ(core.first + core.second, 2 * middle);
                EXPECT_EQ(bar.first + bar.second, 2 * middle);
                EXPECT_EQ(bar.second - bar.first, 2 * MmToDevice(MarkOuterHalfMm, g.Dpi));
            }
        }
    }
}

// The page's title and instructions leave the marks and their labels
// alone: within a mark's bounds the page is the mark's own drawing.
TEST_F(Pages, CalibrationPageTextKeepsOutOfTheMarks) {
    for (const bool back : {false, true}) {
        SCOPED_TRACE(back ? "back" : "front");
        printer.Documents.clear();
        ASSERT_TRUE(PrintCalibrationPage(printer, back));
        const QImage page = OnlyPage().convertToFormat(QImage::Format_RGB32);
        QImage marksOnly(page.size(), QImage::Format_RGB32);
        marksOnly.fill(Qt::white);
        {
            TCanvas canvas(&marksOnly);
            DrawCalibrationMarks(canvas, g, back);
        }
        QImage rest = page;
        for (const TCalibrationMark& mark : CalibrationMarks(g, back)) {
            const QRect bounds = CalibrationMarkBounds(mark, g).ToQRect() & page.rect();
            EXPECT_EQ(page.copy(bounds), marksOnly.copy(bounds));
            for (int y = bounds.top(); y <= bounds.bottom(); ++y)
                for (int x = bounds.left(); x <= bounds.right(); ++x) rest.setPixel(x, y, qRgb(255, 255, 255));
        }
        // Outside them the text: a title and four lines of instructions or
        // more, each some 2 mm of ink high.
        int inkRows = 0;
        for (int y = 0; y < rest.height(); ++y)
            for (int x = 0; x < rest.width(); ++x)
                if (IsBlack(rest, x, y)) {
                    ++inkRows;
                    break;
                }
        EXPECT_GT(inkRows, MmToDevice(10, g.Dpi));
    }
}

TEST_F(Pages, MeasuredCrossesGiveACorrectionThatPutsJobsInPlace) {
    // A printer that shifts and stretches each side its own way; the user
    // measures each cross on the printed side and enters what the ruler
    // shows. The jobs then land where their millimetres say.
    QRandomGenerator random(3);
    for (int i = 0; i < 200; ++i) {
        const bool back = i % 2;
        const TAxisCorrection devX{random.bounded(12.0) - 6, 0.992 + random.bounded(0.016)};
        const TAxisCorrection devY{random.bounded(12.0) - 6, 0.992 + random.bounded(0.016)};
        const auto measure = [](const TAxisCorrection& d, double mm) { return d.Scale * mm + d.OffsetMm; };
        const auto [c1, c2] = CalibrationCrosses(g, back);
        const TSideCorrection fitted{
            FitAxis(TAxis::Horizontal, c1.XMm, measure(devX, c1.XMm), c2.XMm, measure(devX, c2.XMm)),
            FitAxis(TAxis::Vertical, c1.YMm, measure(devY, c1.YMm), c2.YMm, measure(devY, c2.YMm))};
        const auto between = [&](double from, double to) { return from + random.bounded(to - from); };
        const Area a{between(30, 100), between(110, 190), between(30, 120), between(130, 250)};
        const TRect job = back ? BackRect(a, g) : FrontRect(a, g);
        const TRect printed = CorrectedRect(job, g, fitted);
        const auto landsMm = [&](const TAxisCorrection& d, int pixel, int origin) {
            return measure(d, DeviceToMm(pixel + origin, g.Dpi));
        };
        const double pixelMm = DeviceToMm(1, g.Dpi) * 1.01 + 1e-9;
        EXPECT_NEAR(landsMm(devX, printed.Left, g.OffsetX), DeviceToMm(job.Left + g.OffsetX, g.Dpi), pixelMm) << i;
        EXPECT_NEAR(landsMm(devX, printed.Right, g.OffsetX), DeviceToMm(job.Right + g.OffsetX, g.Dpi), pixelMm) << i;
        EXPECT_NEAR(landsMm(devY, printed.Top, g.OffsetY), DeviceToMm(job.Top + g.OffsetY, g.Dpi), pixelMm) << i;
        EXPECT_NEAR(landsMm(devY, printed.Bottom, g.OffsetY), DeviceToMm(job.Bottom + g.OffsetY, g.Dpi), pixelMm) << i;
    }
}

TEST_F(Pages, DocumentsOpenAndCloseLikeTheJobs) {
    printer.CancelBeginDoc = true;
    EXPECT_FALSE(PrintTestPage(printer, {area}, false, {}));
    EXPECT_FALSE(PrintCalibrationPage(printer, true));
    EXPECT_TRUE(printer.Documents.empty());

    printer.CancelBeginDoc = false;
    printer.FailAtPage = 1;
    EXPECT_EQ(PrinterErrorOf([&] { PrintTestPage(printer, {area}, true, {}); }), "Seite 1 kann nicht gedruckt werden");
    EXPECT_FALSE(printer.Printing());

    // A paper too small for two crosses 40 mm apart is refused before a
    // document is opened.
    printer.FailAtPage = 0;
    printer.Documents.clear();
    printer.Geometry.PhysicalWidth = 900;
    EXPECT_EQ(PrinterErrorOf([&] { PrintCalibrationPage(printer, false); }),
              "Das Papier ist zu klein für die Kalibrierseite");
    EXPECT_TRUE(printer.Documents.empty());
}
