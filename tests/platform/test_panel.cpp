#include "platform/panel.h"

#include "platform/colors.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace mx {
namespace {

QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

QImage render(TPanel& panel) { return panel.grab().toImage().convertToFormat(QImage::Format_RGB32); }

TEST(Panel, OuterBevelFirstThenInnerThenFill) {
    TPanel panel;
    panel.resize(40, 30);
    panel.setBevelOuter(bvLowered);
    panel.setBevelInner(bvRaised);
    panel.setColor(0x00A6CAF0);
    const QImage img = render(panel);
    const QColor light = ToQColor(clBtnHighlight), dark = ToQColor(clBtnShadow);
    ASSERT_NE(light, dark);

    // Lowered outer ring: dark top-left, light bottom-right.
    EXPECT_EQ(at(img, 0, 0), dark);
    EXPECT_EQ(at(img, 20, 0), dark);
    EXPECT_EQ(at(img, 0, 15), dark);
    EXPECT_EQ(at(img, 39, 29), light);
    EXPECT_EQ(at(img, 39, 15), light);
    EXPECT_EQ(at(img, 20, 29), light);
    // The far corners belong to the bottom-right lines.
    EXPECT_EQ(at(img, 39, 0), light);
    EXPECT_EQ(at(img, 0, 29), light);
    // Raised inner ring, one pixel inside.
    EXPECT_EQ(at(img, 1, 1), light);
    EXPECT_EQ(at(img, 20, 1), light);
    EXPECT_EQ(at(img, 38, 28), dark);
    EXPECT_EQ(at(img, 1, 28), dark);
    // Inside both bevels: the panel's colour.
    EXPECT_EQ(at(img, 2, 2), QColor(240, 202, 166));
    EXPECT_EQ(at(img, 37, 27), QColor(240, 202, 166));
    EXPECT_EQ(panel.contentsMargins(), QMargins(2, 2, 2, 2));
}

TEST(Panel, BorderSeparatesTheBevelsAndWidensTheMargins) {
    TPanel panel;
    panel.resize(30, 30);
    panel.setBevelOuter(bvRaised);
    panel.setBevelInner(bvLowered);
    panel.setBorderWidth(3);
    panel.setColor(clRed);
    const QImage img = render(panel);
    EXPECT_EQ(at(img, 0, 0), ToQColor(clBtnHighlight));
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(at(img, i, 10), QColor(Qt::red)) << i;
    EXPECT_EQ(at(img, 4, 10), ToQColor(clBtnShadow));
    EXPECT_EQ(at(img, 25, 10), ToQColor(clBtnHighlight));
    EXPECT_EQ(at(img, 5, 10), QColor(Qt::red));
    EXPECT_EQ(panel.contentsMargins(), QMargins(5, 5, 5, 5));

    panel.setBevelInner(bvNone);
    panel.setBevelOuter(bvNone);
    panel.setBorderWidth(0);
    EXPECT_EQ(panel.contentsMargins(), QMargins(0, 0, 0, 0));
    EXPECT_EQ(at(render(panel), 0, 0), QColor(Qt::red));
}

TEST(Panel, ChildrenInheritTheColourThroughThePalette) {
    TPanel panel;
    QWidget child(&panel);
    panel.setColor(0x00C0DCC0);
    EXPECT_EQ(child.palette().color(QPalette::Window), QColor(192, 220, 192));
}

} // namespace
} // namespace mx
