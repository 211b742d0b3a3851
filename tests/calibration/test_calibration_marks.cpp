// The calibration marks: where the layout puts them, front and mirrored
// back, and that the drawing is exact to the device pixel.
#include "calibration/calibration_marks.h"
#include "calibration/calibration_page.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "print/overprint_rect.h"
#include "tests/support/scan_simulator.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

// Letter at 300 dpi with unequal margins, so that a mix-up of the axes shows.
PrinterGeometry Letter300() { return {300, 50, 75, 2550, 3300}; }

bool Black(const QImage& page, int x, int y) { return page.valid(x, y) && qGray(page.pixel(x, y)) < 128; }

} // namespace

TEST(CalibrationMarks, LieOnTheGridNearTheCornersAndInTheMiddle) {
    const PrinterGeometry g = Letter300();
    const auto front = CalibrationMarks(g, false), back = CalibrationMarks(g, true);
    // Half inches at least 20 mm inside the printable corners (4.2 and
    // 6.4 mm margins), and one near the sheet's middle.
    const int xs[5] = {2, 15, 2, 15, 8}, ys[5] = {3, 3, 19, 19, 11};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(front[i].Paper, QPoint(150 * xs[i], 150 * ys[i]));
        EXPECT_DOUBLE_EQ(front[i].XMm, 12.7 * xs[i]);
        EXPECT_DOUBLE_EQ(front[i].YMm, 12.7 * ys[i]);
        EXPECT_NEAR(DeviceToMm(front[i].Paper.x(), 300), front[i].XMm, 0.001);
    }
    // The back: the same arrangement mirrored, its millimetres as measured
    // on the back itself.
    for (const auto& [b, f] : {std::pair{0, 1}, {1, 0}, {2, 3}, {3, 2}, {4, 4}}) {
        EXPECT_EQ(back[b].Paper, front[f].Paper);
        EXPECT_DOUBLE_EQ(back[b].XMm, front[f].XMm);
    }
    // The manual way's crosses lie on the first and the fourth mark.
    for (const bool side : {false, true}) {
        const auto crosses = CalibrationCrosses(g, side);
        const auto marks = CalibrationMarks(g, side);
        EXPECT_EQ(marks[0].Paper, crosses[0].Paper);
        EXPECT_EQ(marks[3].Paper, crosses[1].Paper);
    }
    PrinterGeometry card = g;
    card.PaperWidth = MmToDevice(90, 300);
    EXPECT_EQ(PrinterErrorOf([&] { CalibrationMarks(card, false); }), "Das Papier ist zu klein für die Kalibrierseite");
    card.Dpi = 0;
    EXPECT_FALSE(PrinterErrorOf([&] { CalibrationMarks(card, false); }).isEmpty());
}

TEST(CalibrationMarks, AreDrawnExactlyAndSymmetricAboutTheirPosition) {
    for (const int dpi : {300, 600}) {
        const PrinterGeometry g = dpi == 300 ? Letter300() : A4Printer(600);
        for (const bool back : {false, true}) {
            SCOPED_TRACE(testing::Message() << dpi << (back ? " back" : " front"));
            QImage page(g.PaperWidth - 2 * g.OffsetX, g.PaperHeight - 2 * g.OffsetY, QImage::Format_RGB32);
            page.fill(Qt::white);
            {
                TCanvas canvas(&page);
                DrawCalibrationMarks(canvas, g, back);
            }
            const int outer = MmToDevice(MarkOuterHalfMm, dpi), inner = MmToDevice(MarkRingInnerHalfMm, dpi);
            const int core = MmToDevice(MarkCoreHalfMm, dpi), code = MmToDevice(MarkCodeDistanceMm, dpi);
            const auto marks = CalibrationMarks(g, back);
            for (size_t index = 0; index < marks.size(); ++index) {
                const TCalibrationMark& mark = marks[index];
                const int x = mark.Paper.x() - g.OffsetX, y = mark.Paper.y() - g.OffsetY;
                // Along the row and the column through the middle: ring, hole,
                // core, hole, ring, each edge on its pixel.
                for (const bool row : {true, false}) {
                    const auto black = [&](int d) { return row ? Black(page, x + d, y) : Black(page, x, y + d); };
                    EXPECT_FALSE(black(-outer - 1));
                    for (const int d : {-outer, -inner - 1, -core, core - 1, inner, outer - 1})
                        EXPECT_TRUE(black(d)) << d;
                    for (const int d : {-inner, -core - 1, core, inner - 1}) EXPECT_FALSE(black(d)) << d;
                    EXPECT_FALSE(black(outer));
                }
                // The code squares: the front's above and above-right, the
                // back's right and below-right, nothing in the other places.
                const unsigned expected = back ? (1u << csE | 1u << csSE) : (1u << csN | 1u << csNE);
                for (int slot = 0; slot < CodeSlotCount; ++slot) {
                    const QPointF at = CodeSlotOffsetMm(slot) / MarkCodeDistanceMm * code;
                    EXPECT_EQ(Black(page, x + int(at.x()), y + int(at.y())), bool(expected >> slot & 1)) << slot;
                }
                // The label towards the middle of the page, none on the other side.
                const bool leftHalf = mark.Paper.x() <= g.PaperWidth / 2;
                const int labelAt = x + (leftHalf ? 1 : -1) * MmToDevice(MarkExtentMm + 4, dpi);
                int inkBeside = 0, inkOpposite = 0;
                for (int dy = -MmToDevice(3, dpi); dy < MmToDevice(3, dpi); ++dy)
                    for (int dx = 0; dx < MmToDevice(5, dpi); ++dx) {
                        inkBeside += Black(page, labelAt + (leftHalf ? dx : -dx), y + dy);
                        inkOpposite += Black(page, 2 * x - labelAt - (leftHalf ? dx : -dx), y + dy);
                    }
                EXPECT_GT(inkBeside, 20);
                EXPECT_EQ(inkOpposite, 0);
                // Above the label the name the manual way measures by:
                // "Marke 1" and "Marke 2" on the first and the fourth mark.
                int inkAbove = 0;
                for (int dy = MmToDevice(3.5, dpi); dy < MmToDevice(5.2, dpi); ++dy)
                    for (int dx = 0; dx < MmToDevice(5, dpi); ++dx)
                        inkAbove += Black(page, labelAt + (leftHalf ? dx : -dx), y - dy);
                EXPECT_EQ(inkAbove > 20, index == 0 || index == 3) << index << ": " << inkAbove;
            }
            // All ink within the bounds the page's other drawing keeps out of.
            int outside = 0;
            for (int y = 0; y < page.height(); y += 2)
                for (int x = 0; x < page.width(); x += 2) {
                    if (!Black(page, x, y)) continue;
                    outside += std::none_of(marks.begin(), marks.end(), [&](const TCalibrationMark& m) {
                        return CalibrationMarkBounds(m, g).ToQRect().contains(x, y);
                    });
                }
            EXPECT_EQ(outside, 0);
        }
    }
}
