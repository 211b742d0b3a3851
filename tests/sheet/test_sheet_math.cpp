// The sheet, area, layout, ruler and grab-zone computations.
#include "geometry/sheet_math.h"

#include <gtest/gtest.h>

using namespace mx;

TEST(SheetMath, LetterSheetAt600DpiAndScreenSizes) {
    EXPECT_DOUBLE_EQ(DeviceToMm(5100, 600), 5100 * 25.39995 / 600);
    EXPECT_NEAR(DeviceToMm(5100, 600), 215.899575, 1e-9);
    EXPECT_NEAR(DeviceToMm(6600, 600), 279.39945, 1e-9);
    // 4960 device pixels at 600 dpi on a 96-dpi screen: 793.6 and 238.08, truncated.
    EXPECT_EQ(SheetScreenPixels(4960, 96, 600, 100), 793);
    EXPECT_EQ(SheetScreenPixels(4960, 96, 600, 30), 238);
    EXPECT_EQ(SheetScreenPixels(4960, 96, 600, 0), 0);
    EXPECT_EQ(SheetScreenPixels(4960, 96, 0, 100), 0); // no division by zero
}

TEST(SheetMath, DevicePositionsTruncateNeverRound) {
    EXPECT_EQ(MmToDevice(20, 600), 472); // 472.44
    EXPECT_EQ(MmToDevice(30, 600), 708); // 708.66
    EXPECT_EQ(MmToDevice(40, 600), 944); // 944.88
    EXPECT_EQ(MmToDevice(50, 600), 1181);
    EXPECT_EQ(MmToDevice(-1, 600), -23); // toward zero for negatives too
}

TEST(SheetMath, PreviewConversionsRoundTripWithinAPixel) {
    const int z = 30, s = 96, origin = 16;
    for (double mm : {0.0, 12.5, 100.0, 215.899575}) {
        const int px = EdgeToPreview(mm, z, s, origin);
        EXPECT_LE(PreviewToMm(px, origin, z, s), mm + 1e-9);
        EXPECT_GT(PreviewToMm(px + 1, origin, z, s), mm);
    }
    EXPECT_DOUBLE_EQ(PreviewToMm(16 + 96, 16, 100, 96), 25.39995);
}

TEST(SheetMath, NormaliseExchangesThenClamps) {
    Area a{150, 100, 40, 20};
    NormaliseArea(a, 215.9, 279.4);
    EXPECT_DOUBLE_EQ(a.Left, 100);
    EXPECT_DOUBLE_EQ(a.Right, 150);
    EXPECT_DOUBLE_EQ(a.Top, 20);
    EXPECT_DOUBLE_EQ(a.Bottom, 40);

    Area b{-30, 990, -5, 990};
    NormaliseArea(b, 215.9, 279.4);
    EXPECT_DOUBLE_EQ(b.Left, 0);
    EXPECT_DOUBLE_EQ(b.Right, 215.9);
    EXPECT_DOUBLE_EQ(b.Top, 0);
    EXPECT_DOUBLE_EQ(b.Bottom, 279.4);

    Area equal{50, 50, 60, 60};
    NormaliseArea(equal, 215.9, 279.4);
    EXPECT_DOUBLE_EQ(equal.Left, 50);
    EXPECT_DOUBLE_EQ(equal.Right, 50);

    Area none{10, 20, 30, 40};
    NormaliseArea(none, 0, 0); // no sheet yet: everything collapses to 0
    EXPECT_DOUBLE_EQ(none.Left, 0);
    EXPECT_DOUBLE_EQ(none.Right, 0);
    EXPECT_DOUBLE_EQ(none.Bottom, 0);
}

TEST(SheetMath, AxisLayoutCentresOnlyWhenThereIsRoomToSpare) {
    // Sheet fits: preview is the scroll box's length - scroll bar - 3.
    AxisLayout fits = LayOutAxis(238, 400, 16);
    EXPECT_EQ(fits.Length, 400 - 16 - 3);
    EXPECT_EQ(fits.Origin, 16 + (381 - 274) / 2);
    // Exactly equal: no centring.
    AxisLayout equal = LayOutAxis(400 - 16 - 4 - 36, 400, 16);
    EXPECT_EQ(equal.Length, 400 - 16 - 4);
    EXPECT_EQ(equal.Origin, 16);
    // Too large: 16 before, 20 after, scrolls.
    AxisLayout large = LayOutAxis(1000, 400, 16);
    EXPECT_EQ(large.Length, 1036);
    EXPECT_EQ(large.Origin, 16);
}

TEST(SheetMath, GrabZonesReachFourPixelsAndOnlyBetweenTheOtherEdges) {
    const int L = 100, T = 100, R = 200, B = 200;
    EXPECT_TRUE(HitTestEdges(96, 150, L, T, R, B).Left);  // 4 away: in
    EXPECT_FALSE(HitTestEdges(95, 150, L, T, R, B).Left); // 5 away: out
    EXPECT_TRUE(HitTestEdges(204, 150, L, T, R, B).Right);
    EXPECT_FALSE(HitTestEdges(205, 150, L, T, R, B).Right);
    EXPECT_TRUE(HitTestEdges(150, 104, L, T, R, B).Top);
    EXPECT_FALSE(HitTestEdges(150, 95, L, T, R, B).Any());

    // Near the top-left corner, inside the area: both edges.
    const GrabZones corner = HitTestEdges(102, 102, L, T, R, B);
    EXPECT_TRUE(corner.Left && corner.Top);
    EXPECT_EQ(CursorForZones(corner), SizeCursor::SizeNWSE);
    // The same distance outside the corner: a zone reaches only between the other edges.
    EXPECT_FALSE(HitTestEdges(98, 98, L, T, R, B).Any());
    EXPECT_EQ(CursorForZones(HitTestEdges(98, 102, L, T, R, B)), SizeCursor::SizeWE);
    EXPECT_EQ(CursorForZones(HitTestEdges(198, 102, L, T, R, B)), SizeCursor::SizeNESW);
    EXPECT_EQ(CursorForZones(HitTestEdges(150, 198, L, T, R, B)), SizeCursor::SizeNS);
    EXPECT_EQ(CursorForZones(HitTestEdges(0, 0, L, T, R, B)), SizeCursor::Default);
}

TEST(SheetMath, ZeroWidthAreaSplitsItsZonesAroundTheEdgeColumn) {
    const int E = 100;
    for (int x = 96; x <= 99; ++x) {
        const GrabZones z = HitTestEdges(x, 150, E, 100, E, 200);
        EXPECT_TRUE(z.Left) << x;
        EXPECT_FALSE(z.Right) << x;
    }
    for (int x = 101; x <= 104; ++x) {
        const GrabZones z = HitTestEdges(x, 150, E, 100, E, 200);
        EXPECT_TRUE(z.Right) << x;
        EXPECT_FALSE(z.Left) << x;
    }
    const GrabZones edge = HitTestEdges(100, 150, E, 100, E, 200);
    EXPECT_FALSE(edge.Left || edge.Right);
}

TEST(SheetMath, ScrolledRulerContinuesTheNumbering) {
    // Sheet starts 100 pixels left of the ruler; 800 pixels for 210 mm.
    const auto marks = RulerMarks(-100, 700, 210, 600);
    ASSERT_FALSE(marks.empty());
    EXPECT_EQ(marks[0].kind, RulerMark::Number);
    EXPECT_EQ(marks[0].Centimetre, 3);
    EXPECT_EQ(marks[0].Position, 14);
    EXPECT_EQ(marks[1].kind, RulerMark::Half);
    EXPECT_EQ(marks[1].Position, 33);
    EXPECT_EQ(marks[2].kind, RulerMark::Whole);
    EXPECT_EQ(marks[2].Centimetre, 4);
    // A mark every 5 mm from 30 mm on; positions are truncated, never
    // rounded: 55 mm lies at 109.52, 65 mm at 147.62, 115 mm at 338.10,
    // 180 mm at 585.71.
    ASSERT_EQ(marks.size(), 31u);
    EXPECT_EQ(marks[5].Position, 109);
    EXPECT_EQ(marks[7].Position, 147);
    EXPECT_EQ(marks[17].Position, 338);
    EXPECT_EQ(marks[30].Position, 585);
    EXPECT_EQ(marks[30].Centimetre, 18);
}

TEST(SheetMath, RulerMarksBeforeTheSheetAreNegativeAndZeroIsAMark) {
    const auto marks = RulerMarks(100, 300, 50, 400);
    bool sawMinusOne = false, sawZeroMark = false;
    for (const auto& m : marks) {
        if (m.kind == RulerMark::Number && m.Centimetre == -1) sawMinusOne = true;
        if (m.kind == RulerMark::Whole && m.Centimetre == 0) {
            sawZeroMark = true;
            EXPECT_EQ(m.Position, 100);
        }
        EXPECT_NE(m.kind == RulerMark::Number && m.Centimetre == 0, true);
    }
    EXPECT_TRUE(sawMinusOne);
    EXPECT_TRUE(sawZeroMark);
    // Marks go on past the sheet's end to the end of the ruler.
    EXPECT_GT(marks.back().Position, 300);
    EXPECT_TRUE(RulerMarks(100, 100, 50, 400).empty()); // zoom 0
    EXPECT_TRUE(RulerMarks(0, 0, 0, 400).empty());      // no sheet yet
}
