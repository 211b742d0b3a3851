#include "controls/shadow_label.h"

#include "platform/canvas.h"
#include "platform/loading.h"
#include "platform/panel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QStringList>
#include <QTest>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace mx {
namespace {

const QColor Headline(240, 202, 166);

QImage render(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// A headline strip as the main window has it, with one label at 16, 10.
struct Strip {
    TPanel panel;
    TShadowLabel* label;

    explicit Strip(const QString& caption) {
        panel.resize(600, 33);
        panel.setBevelOuter(bvNone);
        panel.setColor(0x00A6CAF0);
        label = new TShadowLabel(&panel);
        label->move(16, 10);
        QFont bold = label->font();
        bold.setBold(true);
        bold.setPixelSize(13);
        label->setFont(bold);
        label->setCaption(caption);
    }
};

// Calls f for every pixel of a.
void forEachPixel(const QImage& a, const std::function<void(int, int)>& f) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) f(x, y);
}

bool inside(const QImage& a, int x, int y) { return x >= 0 && y >= 0 && x < a.width() && y < a.height(); }

bool is(const QImage& a, int x, int y, const QColor& c) { return inside(a, x, y) && a.pixelColor(x, y) == c; }

// Background where the pixel lies outside the image, too.
bool background(const QImage& a, int x, int y) { return !inside(a, x, y) || a.pixelColor(x, y) == Headline; }

TEST(ShadowLabel, HeadlineHasHighlightFringeAboveLeftOnPanelColour) {
    Strip strip("Bereich wählen - Hier können Sie den Bereich wählen");
    TShadowLabel& label = *strip.label;
    label.setAutoSize(false);
    label.resize(label.width() + 20, label.height());
    const QColor text = ToQColor(label.FontColor());
    const QColor highlight = ToQColor(clBtnHighlight);
    ASSERT_NE(highlight, Headline);

    const QImage shadowed = render(label);
    label.setShadowSize(0);
    const QImage plain = render(label);
    ASSERT_EQ(shadowed.size(), plain.size());

    // The parent's colour fills the rest of the rectangle.
    for (int y = 0; y < plain.height(); ++y)
        for (int x = plain.width() - 15; x < plain.width(); ++x) ASSERT_EQ(shadowed.pixelColor(x, y), Headline);

    int cores = 0, fringes = 0;
    forEachPixel(plain, [&](int x, int y) {
        if (!is(plain, x, y, text)) return;
        ++cores;
        // The text copy lies on top of the shadow copy.
        EXPECT_EQ(shadowed.pixelColor(x, y), text) << x << "," << y;
        // Above-left of a stroke: the shadow copy alone.
        if (background(plain, x - 1, y - 1) && inside(plain, x - 1, y - 1)) {
            ++fringes;
            EXPECT_EQ(shadowed.pixelColor(x - 1, y - 1), highlight) << x << "," << y;
        }
        // Below-right stays clear unless the shadow of another stroke lands there.
        if (background(plain, x + 1, y + 1) && background(plain, x + 2, y + 2) && inside(plain, x + 1, y + 1)) {
            EXPECT_EQ(shadowed.pixelColor(x + 1, y + 1), Headline) << x << "," << y;
        }
    });
    EXPECT_GT(cores, 50);
    EXPECT_GT(fringes, 20);
}

TEST(ShadowLabel, ZeroShadowDrawsTheTextOnce) {
    Strip strip("Art der Vernichtung");
    TShadowLabel& label = *strip.label;
    label.setShadowSize(0);
    const QImage drawn = render(label);

    QImage expected(drawn.size(), QImage::Format_RGB32);
    expected.fill(Headline);
    {
        TCanvas canvas(&expected);
        canvas.Font = label.font();
        canvas.FontColor = label.FontColor();
        canvas.SetBrushStyle(bsClear);
        TRect r = {1, 0, expected.width() - 1, expected.height()};
        canvas.DrawText(label.Caption(), r, DT_EXPANDTABS);
    }
    EXPECT_EQ(drawn, expected);
}

TEST(ShadowLabel, DisabledWithoutShadowIsGreyWithFringeBelowRight) {
    Strip strip("Dokument vernichten");
    TShadowLabel& label = *strip.label;
    label.setShadowSize(0);
    const QImage plain = render(label);
    const QColor text = ToQColor(label.FontColor());
    label.setEnabled(false);
    const QImage disabled = render(label);
    const QColor grey = ToQColor(clGrayText), highlight = ToQColor(clBtnHighlight);
    ASSERT_NE(grey, text);

    int cores = 0, fringes = 0;
    forEachPixel(plain, [&](int x, int y) {
        if (!is(plain, x, y, text)) return;
        ++cores;
        EXPECT_EQ(disabled.pixelColor(x, y), grey) << x << "," << y;
        if (background(plain, x + 1, y + 1) && inside(plain, x + 1, y + 1)) {
            ++fringes;
            EXPECT_EQ(disabled.pixelColor(x + 1, y + 1), highlight) << x << "," << y;
        }
        if (background(plain, x - 1, y - 1) && background(plain, x - 2, y - 2) && inside(plain, x - 1, y - 1)) {
            EXPECT_EQ(disabled.pixelColor(x - 1, y - 1), Headline) << x << "," << y;
        }
    });
    EXPECT_GT(cores, 30);
    EXPECT_GT(fringes, 10);
}

TEST(ShadowLabel, AutoSizeKeepsTheEdgeOppositeTheAlignment) {
    Strip strip("Kurz");
    TShadowLabel& left = *strip.label;
    auto* right = new TShadowLabel(&strip.panel);
    right->setFont(left.font());
    right->setGeometry(300, 10, 65, 17);
    right->setAlignment(taRightJustify);
    right->setCaption("Kurz");
    const QRect leftBefore = left.geometry(), rightBefore = right->geometry();
    EXPECT_EQ(rightBefore.right(), 300 + 65 - 1);
    EXPECT_EQ(leftBefore.size(), rightBefore.size());

    left.setCaption("Ein deutlich längerer Text");
    right->setCaption("Ein deutlich längerer Text");
    EXPECT_EQ(left.x(), leftBefore.x());
    EXPECT_GT(left.width(), leftBefore.width());
    EXPECT_EQ(right->geometry().right(), rightBefore.right());
    EXPECT_LT(right->x(), rightBefore.x());
    EXPECT_EQ(right->size(), left.size());
    EXPECT_EQ(left.y(), 10);

    // Without AutoSize a new text leaves the bounds alone.
    right->setAutoSize(false);
    const QRect fixed = right->geometry();
    right->setCaption("x");
    EXPECT_EQ(right->geometry(), fixed);
}

TEST(ShadowLabel, EmptyCaptionKeepsOneLineOfHeight) {
    Strip empty(""), word("Wort"), amp("&");
    EXPECT_EQ(empty.label->height(), word.label->height());
    EXPECT_EQ(amp.label->height(), word.label->height());
    // Measured as one blank.
    EXPECT_GT(empty.label->width(), 2);
}

TEST(ShadowLabel, TitleLabelBuiltFromDescriptionKeepsItsBoxAndWraps) {
    TPanel title;
    title.resize(177, 73);
    title.setColor(0x00A6CAF0);
    TShadowLabel* label;
    {
        // Properties come in description order: word wrapping before AutoSize.
        TLoadingScope loading(&title);
        label = new TShadowLabel(&title);
        label->setGeometry(8, 8, 161, 57);
        label->setWordWrap(true);
        label->setAutoSize(false);
        QFont f("Arial Black");
        f.setPixelSize(19);
        label->setFont(f);
        label->setFontColor(clMaroon);
        label->setCaption("Art der Vernichtung");
    }
    EXPECT_EQ(label->geometry(), QRect(8, 8, 161, 57));

    const QImage img = render(*label);
    const int line = QFontMetrics(label->font()).height();
    bool secondLine = false;
    for (int y = line + 1; y < img.height() && !secondLine; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == QColor(128, 0, 0)) secondLine = true;
    EXPECT_TRUE(secondLine);
}

int firstTextRow(const QImage& img, const QColor& text) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == text) return y;
    return -1;
}

TEST(ShadowLabel, LayoutMovesTheTextDown) {
    Strip strip("Mitte");
    TShadowLabel& label = *strip.label;
    label.setAutoSize(false);
    const int textHeight = label.height();
    label.resize(label.width(), 60);
    const QColor text = ToQColor(label.FontColor());
    const int top = firstTextRow(render(label), text);
    label.setLayout(tlCenter);
    const int centre = firstTextRow(render(label), text);
    label.setLayout(tlBottom);
    const int bottom = firstTextRow(render(label), text);
    ASSERT_GE(top, 0);
    const int free = 60 - textHeight;
    EXPECT_EQ(centre - top, free / 2);
    EXPECT_EQ(bottom - top, free);

    // A text taller than the label moves up when centred.
    label.resize(label.width(), 4);
    label.setLayout(tlCenter);
    EXPECT_EQ(firstTextRow(render(label), text), -1);
}

TEST(ShadowLabel, TransparentShowsTheParentInsteadOfItsColour) {
    Strip strip("Text");
    TShadowLabel& label = *strip.label;
    label.setColor(clRed);
    const QPoint corner = label.geometry().bottomRight();
    EXPECT_EQ(render(strip.panel).pixelColor(corner), QColor(Qt::red));
    label.setTransparent(true);
    EXPECT_EQ(render(strip.panel).pixelColor(corner), Headline);
    label.setTransparent(false);
    label.setParentColor(true);
    EXPECT_EQ(render(strip.panel).pixelColor(corner), Headline);
}

TEST(ShadowLabel, AcceleratorFocusesTheFocusControl) {
    QWidget window;
    window.resize(300, 100);
    auto* other = new QLineEdit(&window);
    auto* edit = new QLineEdit(&window);
    edit->move(0, 40);
    auto* label = new TShadowLabel(&window);
    label->move(150, 0);
    label->setCaption("&Breite");
    label->setFocusControl(edit);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    ASSERT_TRUE(other->hasFocus());

    QTest::keyClick(&window, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(edit->hasFocus());

    other->setFocus();
    label->setShowAccelChar(false);
    QTest::keyClick(&window, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(other->hasFocus());

    label->setShowAccelChar(true);
    label->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
}

TEST(ShadowLabel, ReportsEnterAndLeaveButNotWhileDraggingFromIt) {
    QWidget window;
    window.resize(300, 100);
    auto* label = new TShadowLabel(&window);
    label->setGeometry(50, 20, 65, 17);
    label->setAutoSize(false);
    QStringList log;
    label->OnMouseEnter = [&](QObject*) { log << "enter"; };
    label->OnMouseLeave = [&](QObject*) { log << "leave"; };
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWindow* w = window.windowHandle();

    QTest::mouseMove(w, QPoint(10, 80));
    QTest::mouseMove(w, QPoint(60, 25));
    QTest::mouseMove(w, QPoint(10, 80));
    EXPECT_EQ(log, (QStringList{"enter", "leave"}));

    log.clear();
    QTest::mouseMove(w, QPoint(60, 25));
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(60, 25));
    QTest::mouseMove(w, QPoint(10, 80));
    EXPECT_EQ(log, QStringList{"enter"});
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(10, 80));
    EXPECT_EQ(log, (QStringList{"enter", "leave"}));

    log.clear();
    label->setEnabled(false);
    QTest::mouseMove(w, QPoint(60, 25));
    QTest::mouseMove(w, QPoint(10, 80));
    EXPECT_TRUE(log.isEmpty());
}

TEST(ShadowLabel, FocusRectangleFramesTheTextWhileTheFocusControlHasFocus) {
    QWidget window;
    window.resize(300, 100);
    auto* edit = new QLineEdit(&window);
    edit->move(0, 60);
    auto* other = new QLineEdit(&window);
    other->move(150, 60);
    auto* label = new TShadowLabel(&window);
    label->setGeometry(10, 10, 120, 40);
    label->setAutoSize(false);
    label->setAlignment(taCenter);
    label->setLayout(tlCenter);
    label->setCaption("Rand");
    label->setFocusControl(edit);
    label->setShowFocus(true);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    const QImage unfocused = render(*label);
    edit->setFocus();
    const QImage focused = render(*label);

    QRect changed;
    forEachPixel(focused, [&](int x, int y) {
        if (focused.pixelColor(x, y) != unfocused.pixelColor(x, y)) changed |= QRect(x, y, 1, 1);
    });
    ASSERT_FALSE(changed.isEmpty());
    // Only the outline changes, and it lies around the centred text.
    forEachPixel(focused, [&](int x, int y) {
        const bool edge = x == changed.left() || x == changed.right() || y == changed.top() || y == changed.bottom();
        if (!edge) {
            EXPECT_EQ(focused.pixelColor(x, y), unfocused.pixelColor(x, y)) << x << "," << y;
        }
    });
    EXPECT_GT(changed.left(), 5);
    EXPECT_LT(changed.right(), 114);
    EXPECT_GT(changed.top(), 2);
    EXPECT_LT(changed.bottom(), 37);

    label->setShowFocus(false);
    EXPECT_EQ(render(*label), unfocused);
}

} // namespace
} // namespace mx
