// The diagonal spin button: its halves, its drawing and the auto-repeat,
// driven through the window system and a hand-fired repeat timer.
#include "controls/diagonal_spin_button.h"

#include "controls/num_spin_edit.h"
#include "controls/spin_glyphs.h"
#include "platform/canvas.h"
#include "tests/support/test_support.h"

#include <QImage>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace mx;

namespace {

using S = TDiagonalSpinButton;

QImage Painted(S::TState state, int w = 18, int h = 18) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        TCanvas canvas(&image);
        PaintDiagonalSpinButton(canvas, w, h, state);
    }
    return image;
}

TColor At(const QImage& image, int x, int y) { return FromQColor(image.pixelColor(x, y)); }

// The zoom field in a shown window; its button is 18 x 18.
struct Zoom {
    QWidget window;
    TNumSpinEdit* field = new TNumSpinEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
    int tops = 0, bottoms = 0, changes = 0;

    Zoom() {
        window.resize(200, 100);
        field->setGeometry(10, 10, 65, 21);
        other->setGeometry(10, 40, 65, 21);
        field->setIncrement(10);
        field->setMaxValue(500);
        field->setMinValue(10);
        field->setValue(30);
        field->OnChange = [this](QObject*) { ++changes; };
        field->OnTopClick = [this](QObject*) { ++tops; };
        field->OnBottomClick = [this](QObject*) { ++bottoms; };
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }
    ~Zoom() {
        // Never leave the window system believing a button is still held.
        if (QGuiApplication::mouseButtons() & Qt::LeftButton) release({30, 30});
    }
    S* button() const { return field->DiagonalButton(); }
    // Through the window, as the window system delivers them: with the
    // implicit grab and the global button state.
    QPoint at(QPoint p) const { return button()->mapTo(&window, p); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(window.windowHandle(), b, {}, at(p)); }
    void move(QPoint p) { QTest::mouseMove(window.windowHandle(), at(p)); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(window.windowHandle(), b, {}, at(p));
    }
    void tick() { QMetaObject::invokeMethod(button()->RepeatTimer(), "timeout"); }
};

const QPoint Upper(4, 4), Lower(14, 14);

} // namespace

TEST(DiagonalSpinButton, TheDiagonalSplitsTheHalves) {
    // Lower half when y > h - (h / w) * x.
    EXPECT_FALSE(InLowerHalf(0, 17, 18, 18));
    EXPECT_FALSE(InLowerHalf(1, 17, 18, 18));
    EXPECT_TRUE(InLowerHalf(2, 17, 18, 18));
    EXPECT_FALSE(InLowerHalf(9, 9, 18, 18));
    EXPECT_TRUE(InLowerHalf(9, 10, 18, 18));
    EXPECT_FALSE(InLowerHalf(17, 0, 18, 18));
    EXPECT_TRUE(InLowerHalf(17, 2, 18, 18));
    // Not square: the diagonal still runs corner to corner.
    EXPECT_FALSE(InLowerHalf(20, 5, 40, 10));
    EXPECT_TRUE(InLowerHalf(20, 6, 40, 10));
}

TEST(DiagonalSpinButton, GlyphsAreTheFixedArrows) {
    const char* up[] = {"..##..", ".####.", "######", "..##..", "..##..", "..##.."};
    const char* down[] = {"..##..", "..##..", "..##..", "######", ".####.", "..##.."};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(SpinUpGlyph.IsBlack(x, y), up[y][x] == '#') << x << "," << y;
            EXPECT_EQ(SpinDownGlyph.IsBlack(x, y), down[y][x] == '#') << x << "," << y;
        }
}

TEST(DiagonalSpinButton, PaintingInEachState) {
    const TColor face = ColorToRGB(clBtnFace), frame = ColorToRGB(clWindowFrame);
    const TColor light = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    ASSERT_NE(light, shadow);
    ASSERT_NE(face, shadow);

    const QImage up = Painted(S::NotDown);
    EXPECT_EQ(At(up, 0, 0), frame);
    EXPECT_EQ(At(up, 17, 17), frame);
    EXPECT_EQ(At(up, 8, 9), frame) << "the diagonal x + y = 17";
    EXPECT_EQ(At(up, 1, 14), light);
    EXPECT_EQ(At(up, 14, 1), light);
    EXPECT_EQ(At(up, 16, 1), frame) << "the shadow line leaves out its end point on the diagonal";
    EXPECT_EQ(At(up, 1, 15), shadow) << "inner shadow of the upper half";
    EXPECT_EQ(At(up, 2, 14), shadow);
    EXPECT_EQ(At(up, 16, 16), shadow);
    EXPECT_EQ(At(up, 16, 2), light) << "inner light of the lower half";
    // Up arrow at (3, 3), down arrow at (9, 9); glyph white is the face.
    EXPECT_EQ(At(up, 5, 3), clBlack);
    EXPECT_EQ(At(up, 3, 3), face);
    EXPECT_EQ(At(up, 9, 12), clBlack);
    EXPECT_EQ(At(up, 9, 9), face) << "the glyph covers the lines under it";

    const QImage top = Painted(S::TopDown);
    EXPECT_EQ(At(top, 1, 14), shadow);
    EXPECT_EQ(At(top, 1, 15), face) << "no inner shadow when pressed";
    EXPECT_EQ(At(top, 2, 14), face);
    EXPECT_EQ(At(top, 5, 3), face);
    EXPECT_EQ(At(top, 6, 4), clBlack) << "the pressed arrow moves by one pixel";
    EXPECT_EQ(At(top, 9, 12), clBlack);

    const QImage bottom = Painted(S::BottomDown);
    EXPECT_EQ(At(bottom, 16, 16), light);
    EXPECT_EQ(At(bottom, 16, 2), shadow);
    EXPECT_EQ(At(bottom, 10, 9), shadow) << "the last line goes over the down arrow";
    EXPECT_EQ(At(bottom, 9, 12), clBlack);
    EXPECT_EQ(At(bottom, 5, 3), clBlack);
}

TEST(DiagonalSpinButton, HoldingRepeatsAfter400ThenEvery100AndPausesOffTheHalf) {
    Zoom z;
    z.press(Upper);
    EXPECT_EQ(z.field->text(), "40");
    EXPECT_EQ(z.tops, 1);
    EXPECT_EQ(z.button()->State(), S::TopDown);
    QTimer* timer = z.button()->RepeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), S::FirstRepeatDelay);
    EXPECT_TRUE(z.field->hasFocus());

    z.tick();
    EXPECT_EQ(timer->interval(), S::RepeatInterval);
    z.tick();
    EXPECT_EQ(z.field->text(), "60");
    EXPECT_EQ(z.tops, 3);

    z.move(Lower);
    EXPECT_EQ(z.button()->State(), S::NotDown);
    z.tick();
    EXPECT_EQ(z.tops, 3);
    EXPECT_EQ(z.bottoms, 0);
    z.move(Upper);
    EXPECT_EQ(z.button()->State(), S::TopDown);
    z.tick();
    EXPECT_EQ(z.field->text(), "70");
    z.move({30, 5});
    EXPECT_EQ(z.button()->State(), S::NotDown);
    z.tick();
    EXPECT_EQ(z.tops, 4);
    z.move({17, 18}); // the far edges still count as inside
    EXPECT_EQ(z.button()->State(), S::NotDown) << "lower half, press started on the upper one";

    z.move(Upper);
    z.release(Upper);
    EXPECT_EQ(z.button()->State(), S::NotDown);
    z.tick();
    EXPECT_EQ(z.tops, 4);
    EXPECT_EQ(z.changes, 4);
}

TEST(DiagonalSpinButton, LowerHalfStepsDownAndStopsAtTheLimit) {
    Zoom z;
    z.press(Lower);
    EXPECT_EQ(z.button()->State(), S::BottomDown);
    z.tick();
    z.tick();
    EXPECT_EQ(z.field->text(), "10");
    EXPECT_EQ(z.bottoms, 3);
    EXPECT_EQ(z.changes, 2) << "no change once the minimum is reached";
    z.release({40, 40});
    EXPECT_EQ(z.button()->State(), S::NotDown);
    z.press(Upper);
    EXPECT_EQ(z.field->text(), "20");
    z.release(Upper);
}

TEST(DiagonalSpinButton, AnErrorStopsTheRepeatAndReachesTheErrorHandler) {
    Zoom z;
    int calls = 0;
    z.field->OnTopClick = [&](QObject*) {
        if (++calls == 2) throw std::runtime_error("Zur Zeit ist kein Standard-Drucker gewählt");
    };
    z.press(Upper);
    z.tick();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(test::Answers().Errors(), QStringList{"Zur Zeit ist kein Standard-Drucker gewählt."});
    EXPECT_FALSE(z.button()->RepeatTimer()->isActive());
    EXPECT_EQ(z.button()->State(), S::NotDown);
    z.tick();
    EXPECT_EQ(calls, 2);
    z.release(Upper);

    // An error on the press itself: no repeat starts.
    z.field->OnTopClick = [&](QObject*) { throw std::runtime_error("kaputt"); };
    z.press(Upper);
    EXPECT_EQ(test::Answers().Errors().size(), 2);
    EXPECT_FALSE(z.button()->RepeatTimer()->isActive());
    z.release(Upper);
}

TEST(DiagonalSpinButton, DisabledOrRightButtonDoesNothing) {
    Zoom z;
    z.field->setEnabled(false);
    z.press(Upper);
    z.release(Upper);
    z.field->setEnabled(true);
    z.press(Upper, Qt::RightButton);
    z.release(Upper, Qt::RightButton);
    EXPECT_EQ(z.tops, 0);
    EXPECT_EQ(z.field->text(), "30");
    EXPECT_EQ(z.button()->RepeatTimer(), nullptr);
}

TEST(NumSpinEdit, TypedErrorsOfTheChangeHandlerReachTheErrorHandler) {
    Zoom z;
    z.field->OnChange = [](QObject*) { throw std::runtime_error("kaputt"); };
    z.other->setFocus();
    z.field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(z.field, Qt::Key_5);
    EXPECT_EQ(test::Answers().Errors(), QStringList{"kaputt."});
    EXPECT_EQ(z.field->text(), "5");
    EXPECT_THROW(z.field->setValue(60), std::runtime_error);
    EXPECT_EQ(z.field->text(), "60");
}

TEST(DiagonalSpinButton, TheWidgetShowsItsState) {
    Zoom z;
    auto arrowAt = [&](int x, int y) { return FromQColor(z.button()->grab().toImage().pixelColor(x, y)) == clBlack; };
    EXPECT_EQ(z.button()->size(), QSize(18, 18));
    EXPECT_TRUE(arrowAt(5, 3));
    z.press(Upper);
    EXPECT_TRUE(arrowAt(6, 4));
    EXPECT_FALSE(arrowAt(5, 3));
    z.release(Upper);
    EXPECT_TRUE(arrowAt(5, 3));
}
