// Where the overprint area lands on the printer's page.
#include "print/overprint_rect.h"

#include <gtest/gtest.h>

using namespace mx;

TEST(OverprintRect, FrontAndBackAt600DpiWithOffsets) {
    const Area area{20, 50, 30, 40};
    const PrinterGeometry g{600, 100, 150, 5100};
    EXPECT_EQ(FrontRect(area, g), (TRect{372, 558, 1081, 794}));
    EXPECT_EQ(BackRect(area, g), (TRect{3819, 558, 4528, 794}));
}

TEST(OverprintRect, LeftEdgeOfTheFrontIsTheRightEdgeOfTheBack) {
    const PrinterGeometry g{600, 0, 0, 5100};
    const Area touchingLeft{0, 30, 10, 20};
    const TRect back = BackRect(touchingLeft, g);
    EXPECT_EQ(back.Right, 5100);
    // An area centred on the sheet prints at the same place on both sides,
    // give or take the truncation.
    const double w = DeviceToMm(5100, 600);
    const Area centred{w / 2 - 20, w / 2 + 20, 10, 20};
    const TRect f = FrontRect(centred, g), b = BackRect(centred, g);
    EXPECT_LE(std::abs(f.Left - b.Left), 1);
    EXPECT_LE(std::abs(f.Right - b.Right), 1);
}

TEST(OverprintRect, VerticalPositionsUseTheHorizontalResolution) {
    // Only one resolution is passed: a 600 x 1200 dpi printer still maps
    // 30 mm to 708 rows.
    const PrinterGeometry g{600, 0, 0, 5100};
    EXPECT_EQ(FrontRect({0, 0, 30, 30}, g).Top, 708);
}
