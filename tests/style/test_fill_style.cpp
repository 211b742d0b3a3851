// The fill rule on a plain image: pattern by index, lines in the foreground,
// gaps in the background, the previous pattern kept for an unknown index.
#include "print/fill_style.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace mx;

namespace {

constexpr TColor kFg = 0x00FFFF;
constexpr TColor kBg = 0x102030;

struct Surface {
    QImage image{32, 24, QImage::Format_RGB32};
    Surface() { image.fill(Qt::white); }
    TColor at(int x, int y) const { return FromQColor(QColor(image.pixel(x, y))); }
    bool onlyColours(const TRect& r, const std::function<TColor(int, int)>& expected) const {
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (at(x, y) != expected(x, y)) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << at(x, y);
                    return false;
                }
        return true;
    }
};

const TRect kAll{0, 0, 32, 24};

void fill(Surface& s, int index, TColor fg = kFg, TColor bg = kBg, const TRect& r = kAll) {
    TCanvas c(&s.image);
    ApplyFillRule(c, r, index, fg, bg);
}

} // namespace

TEST(FillRule, EveryPatternPaintsLinesInForegroundAndGapsInBackground) {
    for (int index = 0; index < FillPatternCount; ++index) {
        SCOPED_TRACE(index);
        const auto pattern = FillPatternForIndex(index);
        ASSERT_TRUE(pattern.has_value());
        Surface s;
        fill(s, index);
        s.onlyColours(kAll, [&](int x, int y) {
            if (*pattern == bsSolid) return kFg;
            return HatchBit(*pattern, x, y) ? kFg : kBg;
        });
    }
}

TEST(FillRule, PatternsRunTheWayTheirCaptionsSay) {
    auto lit = [](int index, int x, int y) {
        Surface s;
        fill(s, index);
        return s.at(x, y) == kFg;
    };
    // "Diagonal 1" rises from left to right: up one row per column.
    EXPECT_TRUE(lit(3, 10, 13) && lit(3, 11, 12) && lit(3, 12, 11));
    EXPECT_FALSE(lit(3, 11, 14));
    // "Diagonal 2" falls.
    EXPECT_TRUE(lit(4, 10, 10) && lit(4, 11, 11) && lit(4, 12, 12));
    EXPECT_FALSE(lit(4, 11, 10));
    // "Horizontal" and "Vertical" are not swapped, "Gekreuzt" has both.
    EXPECT_TRUE(lit(5, 3, 8) && lit(5, 4, 8) && !lit(5, 8, 3));
    EXPECT_TRUE(lit(6, 8, 3) && lit(6, 8, 4) && !lit(6, 3, 8));
    EXPECT_TRUE(lit(1, 3, 8) && lit(1, 8, 3) && !lit(1, 3, 3));
    EXPECT_TRUE(lit(2, 10, 10) && lit(2, 10, 13) && !lit(2, 10, 11));
    EXPECT_FALSE(FillPatternForIndex(-1).has_value());
    EXPECT_FALSE(FillPatternForIndex(FillPatternCount).has_value());
}

TEST(FillRule, SameColourForBothGivesAPlainArea) {
    for (int index = 0; index < FillPatternCount; ++index) {
        SCOPED_TRACE(index);
        Surface s;
        fill(s, index, clRed, clRed);
        s.onlyColours(kAll, [](int, int) { return clRed; });
    }
}

TEST(FillRule, SwitchingPatternsLeavesNoTrace) {
    Surface fresh;
    fill(fresh, 5);
    for (int before = 0; before < FillPatternCount; ++before) {
        SCOPED_TRACE(before);
        Surface s;
        {
            TCanvas c(&s.image);
            ApplyFillRule(c, kAll, before, clBlue, clLime);
            ApplyFillRule(c, kAll, 5, kFg, kBg);
        }
        EXPECT_EQ(s.image, fresh.image);
    }
}

TEST(FillRule, UnknownIndexKeepsTheCanvasPattern) {
    Surface s, expected;
    {
        TCanvas c(&s.image);
        ApplyFillRule(c, kAll, 6, clBlue, clLime);
        ApplyFillRule(c, kAll, -1, kFg, kBg); // new colours, pattern stays vertical
        EXPECT_EQ(c.Brush().Style, bsVertical);
    }
    fill(expected, 6);
    EXPECT_EQ(s.image, expected.image);

    Surface never;
    fill(never, 7); // a canvas that never had a pattern fills solid
    never.onlyColours(kAll, [](int, int) { return kFg; });
}

TEST(FillRule, FillsOnlyTheRectangleAndKeepsTheHatchOnThePageGrid) {
    Surface s;
    const TRect r{5, 3, 21, 19};
    fill(s, 4, kFg, kBg, r);
    s.onlyColours(r, [](int x, int y) { return HatchBit(bsFDiagonal, x, y) ? kFg : kBg; });
    EXPECT_EQ(s.at(4, 10), clWhite);
    EXPECT_EQ(s.at(21, 10), clWhite);
    EXPECT_EQ(s.at(10, 2), clWhite);
    EXPECT_EQ(s.at(10, 19), clWhite);
}

TEST(FillRule, SolidIgnoresTheBackgroundAndSystemColoursResolve) {
    Surface a, b;
    fill(a, 0, kFg, clBlack);
    fill(b, 0, kFg, clWhite);
    EXPECT_EQ(a.image, b.image);

    Surface sys;
    fill(sys, 5, clWindowText, clWindow);
    EXPECT_EQ(sys.at(0, 0), ColorToRGB(clWindowText));
    EXPECT_EQ(sys.at(0, 1), ColorToRGB(clWindow));
}
