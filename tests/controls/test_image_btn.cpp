#include "controls/image_btn.h"

#include "tests/support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace mx {
namespace {

QImage filled(int w, int h, Qt::GlobalColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// A shown window with one picture button at 50, 50; mouse events go
// through the window, so Qt's grab, click and double-click rules apply.
class ImageBtnTest : public testing::Test {
protected:
    void SetUp() override {
        window.resize(300, 200);
        btn = new TImageBtn(&window);
        btn->move(50, 50);
        btn->setPicture(normal);
        btn->setPicture2(pressed);
        btn->OnClick = [this](QObject*) {
            ++clicks;
            pictureAtClick = btn->Picture();
        };
        btn->OnDblClick = [this](QObject*) { ++doubleClicks; };
        btn->OnMouseDown = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            ++downs;
            pictureAtDown = btn->Picture();
        };
        btn->OnMouseUp = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++ups; };
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    QWindow* win() { return window.windowHandle(); }
    QPoint in() const { return QPoint(60, 60); }
    QPoint out() const { return QPoint(200, 150); }

    const QImage normal = filled(101, 30, Qt::blue);
    const QImage pressed = filled(101, 30, Qt::yellow);
    QWidget window;
    TImageBtn* btn = nullptr;
    int clicks = 0, doubleClicks = 0, downs = 0, ups = 0;
    QImage pictureAtClick, pictureAtDown;
};

TEST_F(ImageBtnTest, TakesThePictureSizeAndPaintsIt) {
    EXPECT_EQ(btn->size(), QSize(101, 30));
    EXPECT_EQ(btn->focusPolicy(), Qt::NoFocus);
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(50, 50), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(150, 79), QColor(Qt::blue));
    EXPECT_NE(shot.pixelColor(151, 80), QColor(Qt::blue));
}

TEST_F(ImageBtnTest, ReleaseOutsideRestoresWithoutClick) {
    QTest::mousePress(win(), Qt::LeftButton, {}, in());
    EXPECT_EQ(btn->Picture(), pressed);
    QTest::mouseMove(win(), out());
    EXPECT_EQ(btn->Picture(), normal);
    QTest::mouseRelease(win(), Qt::LeftButton, {}, out());
    EXPECT_EQ(btn->Picture(), normal);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(ImageBtnTest, MovingBackInShowsPressedAndClicksOnce) {
    QTest::mousePress(win(), Qt::LeftButton, {}, in());
    QTest::mouseMove(win(), out());
    EXPECT_EQ(btn->Picture(), normal);
    QTest::mouseMove(win(), in() + QPoint(5, 5));
    EXPECT_EQ(btn->Picture(), pressed);
    QTest::mouseRelease(win(), Qt::LeftButton, {}, in() + QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    // The handler already sees the normal picture.
    EXPECT_EQ(pictureAtClick, normal);
    EXPECT_EQ(btn->Picture(), normal);
}

TEST_F(ImageBtnTest, MovingWithoutPressChangesNothing) {
    QTest::mouseMove(win(), in());
    EXPECT_EQ(btn->Picture(), normal);
}

TEST_F(ImageBtnTest, RightPressShowsPressedButNeverClicks) {
    QTest::mousePress(win(), Qt::RightButton, {}, in());
    EXPECT_EQ(btn->Picture(), pressed);
    QTest::mouseRelease(win(), Qt::RightButton, {}, in());
    EXPECT_EQ(btn->Picture(), normal);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(ImageBtnTest, DoubleClickRunsTheClickHandlerOnce) {
    QTest::mouseDClick(win(), Qt::LeftButton, {}, in());
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(downs, 2);
    // The second press showed the pressed picture again.
    EXPECT_EQ(pictureAtDown, pressed);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ups, 2);
    EXPECT_EQ(btn->Picture(), normal);
}

TEST_F(ImageBtnTest, RightDoubleClickIsNoDoubleClickEvent) {
    QTest::mouseDClick(win(), Qt::RightButton, {}, in());
    EXPECT_EQ(doubleClicks, 0);
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(pictureAtDown, pressed);
    EXPECT_EQ(btn->Picture(), normal);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageBtnTest, EmptyPressedPictureKeepsTheSize) {
    btn->setPicture2(QImage());
    QTest::mousePress(win(), Qt::LeftButton, {}, in());
    EXPECT_TRUE(btn->Picture().isNull());
    EXPECT_EQ(btn->size(), QSize(101, 30));
    QTest::mouseRelease(win(), Qt::LeftButton, {}, in());
    EXPECT_EQ(btn->Picture(), normal);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ImageBtnTest, PictureWrittenWhilePressedIsLostOnRelease) {
    QTest::mousePress(win(), Qt::LeftButton, {}, in());
    btn->setPicture(filled(82, 35, Qt::green));
    EXPECT_EQ(btn->size(), QSize(82, 35));
    QTest::mouseRelease(win(), Qt::LeftButton, {}, in());
    EXPECT_EQ(btn->Picture(), normal);
    EXPECT_EQ(btn->size(), QSize(101, 30));
}

TEST_F(ImageBtnTest, ClickHandlerThatFailsLeavesTheButtonReleased) {
    btn->OnClick = [](QObject*) { throw std::runtime_error("Das Drucken ist im Gang"); };
    QTest::mousePress(win(), Qt::LeftButton, {}, in());
    QTest::mouseRelease(win(), Qt::LeftButton, {}, in());
    EXPECT_EQ(test::Answers().Errors(), QStringList{"Das Drucken ist im Gang."});
    EXPECT_EQ(btn->Picture(), normal);
    // No button is held any more: moving over it shows no pressed picture.
    QTest::mouseMove(win(), in() + QPoint(3, 0));
    EXPECT_EQ(btn->Picture(), normal);
}

TEST(ImageBtn, ReadsItsPicturesFromTheResources) {
    TImageBtn btn;
    btn.setPictureResource(":/pictures/ende.gif");
    btn.setPicture2Resource(":/pictures/ende_down.gif");
    EXPECT_TRUE(test::Answers().Errors().isEmpty()) << test::Answers().Errors().join('\n').toStdString();
    EXPECT_EQ(btn.size(), QSize(101, 30));
    EXPECT_EQ(btn.Picture2().size(), QSize(101, 30));
    EXPECT_NE(btn.Picture(), btn.Picture2());
}

TEST(ImageBtn, UndecodablePictureIsReportedAndLeftEmpty) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kaputt.gif");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("GIF89a\x65\x00\x1e\x00 not really a picture");
    file.close();

    TImageBtn btn;
    btn.resize(20, 10);
    btn.setPictureResource(path);
    EXPECT_TRUE(btn.Picture().isNull());
    EXPECT_EQ(btn.size(), QSize(20, 10));
    EXPECT_EQ(test::Answers().Errors().size(), 1);

    btn.setPicture2Resource(dir.filePath("fehlt.gif"));
    EXPECT_TRUE(btn.Picture2().isNull());
    EXPECT_EQ(test::Answers().Errors().size(), 2);
}

} // namespace
} // namespace mx
