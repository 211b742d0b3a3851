#include "controls/bitbtn_xp.h"
#include "platform/application.h"
#include "platform/canvas.h"
#include "platform/loading.h"
#include "platform/theme_api.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace mx;

namespace {

QImage twoImageStrip(QRgb up, QRgb disabled) {
    QImage img(36, 18, QImage::Format_RGB32);
    img.fill(qRgb(128, 128, 0));
    for (int y = 3; y < 15; ++y)
        for (int x = 3; x < 15; ++x) {
            img.setPixel(x, y, up);
            img.setPixel(18 + x, y, disabled);
        }
    return img;
}

// The bounding box of the pixels of one colour.
QRect extentOf(const QImage& img, QRgb colour) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == colour) box |= QRect(x, y, 1, 1);
    return box;
}

QRgb rgbOf(TColor c) { return ToQColor(c).rgb(); }

struct DoubleClickCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        count += e->type() == QEvent::MouseButtonDblClick;
        return false;
    }
};

struct StylesOn {
    explicit StylesOn(bool on) { SetVisualStylesEnabled(on); }
    ~StylesOn() { SetVisualStylesEnabled(true); }
};

// A dialog with an edit field, an OK button, a Cancel button and a plain
// custom button, shown and active.
struct DialogFixture {
    QDialog dialog;
    QLineEdit* edit = new QLineEdit(&dialog);
    TBitBtnXP* ok = new TBitBtnXP(&dialog);
    TBitBtnXP* cancel = new TBitBtnXP(&dialog);
    TBitBtnXP* other = new TBitBtnXP(&dialog);

    DialogFixture() {
        ok->SetKind(TBitBtnXP::bkOK);
        cancel->SetKind(TBitBtnXP::bkCancel);
        other->setText("&Weiter");
        ok->setGeometry(0, 30, 80, 25);
        cancel->setGeometry(90, 30, 80, 25);
        other->setGeometry(180, 30, 80, 25);
        dialog.resize(300, 80);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        (void)QTest::qWaitForWindowActive(&dialog);
    }
    void focus(QWidget* w) {
        w->setFocus();
        QApplication::processEvents();
    }
};

} // namespace

TEST(BitBtnXP, KindsBringCaptionRolesResultAndGlyph) {
    struct Row {
        TBitBtnXP::TBitBtnXPKind kind;
        const char* caption;
        int result;
        bool isDefault, isCancel;
    };
    const Row rows[] = {
        {TBitBtnXP::bkOK, "OK", 1, true, false},           {TBitBtnXP::bkCancel, "Cancel", 2, false, true},
        {TBitBtnXP::bkHelp, "&Help", 0, false, false},     {TBitBtnXP::bkYes, "&Yes", 6, true, false},
        {TBitBtnXP::bkNo, "&No", 7, false, true},          {TBitBtnXP::bkClose, "&Close", 0, false, false},
        {TBitBtnXP::bkAbort, "Abort", 3, false, false},    {TBitBtnXP::bkRetry, "&Retry", 4, false, false},
        {TBitBtnXP::bkIgnore, "&Ignore", 5, false, false}, {TBitBtnXP::bkAll, "&All", 8, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        TBitBtnXP b;
        b.setText("vorher");
        b.SetKind(row.kind);
        EXPECT_EQ(b.text(), row.caption);
        EXPECT_EQ(b.ModalResult(), row.result);
        EXPECT_EQ(b.Default(), row.isDefault);
        EXPECT_EQ(b.Cancel(), row.isCancel);
        EXPECT_EQ(b.NumGlyphs(), 2);
        EXPECT_EQ(b.Glyph().width(), 36);
        EXPECT_EQ(b.Glyph().height(), row.kind == TBitBtnXP::bkAll ? 19 : 18);
        EXPECT_EQ(b.Kind(), row.kind);
    }
}

TEST(BitBtnXP, KindGlyphsAreLoadedOnceAndShared) {
    const QImage& first = TBitBtnXP::KindGlyph(TBitBtnXP::bkOK);
    const QImage& again = TBitBtnXP::KindGlyph(TBitBtnXP::bkOK);
    EXPECT_EQ(&first, &again);
    TBitBtnXP a, b;
    a.SetKind(TBitBtnXP::bkOK);
    b.SetKind(TBitBtnXP::bkOK);
    EXPECT_EQ(a.Glyph().constBits(), b.Glyph().constBits());
    // Olive is every kind glyph's transparent colour.
    EXPECT_EQ(a.GlyphObject().TransparentColor(), clOlive);
}

TEST(BitBtnXP, ChangingARoleResultOrGlyphMakesTheKindCustom) {
    TBitBtnXP a, b, c, d;
    for (TBitBtnXP* x : {&a, &b, &c, &d}) x->SetKind(TBitBtnXP::bkOK);
    a.SetModalResult(0);
    b.SetDefault(false);
    c.SetGlyph(twoImageStrip(qRgb(255, 0, 0), qRgb(0, 0, 255)));
    EXPECT_EQ(a.Kind(), TBitBtnXP::bkCustom);
    EXPECT_EQ(b.Kind(), TBitBtnXP::bkCustom);
    EXPECT_EQ(c.Kind(), TBitBtnXP::bkCustom);
    EXPECT_EQ(d.Kind(), TBitBtnXP::bkOK);
    // Putting the value back does not restore the kind.
    a.SetModalResult(1);
    EXPECT_EQ(a.Kind(), TBitBtnXP::bkCustom);

    // bkCustom keeps what the button had.
    d.SetKind(TBitBtnXP::bkCustom);
    EXPECT_EQ(d.text(), "OK");
    EXPECT_EQ(d.ModalResult(), 1);
    EXPECT_TRUE(d.Default());
}

TEST(BitBtnXP, StoredCaptionSurvivesTheKindWhileLoading) {
    QWidget form;
    auto* b = new TBitBtnXP(&form);
    auto* empty = new TBitBtnXP(&form);
    {
        TLoadingScope loading(&form);
        b->setText("&Abbrechen");
        b->SetKind(TBitBtnXP::bkCancel);
        empty->SetKind(TBitBtnXP::bkOK);
    }
    EXPECT_EQ(b->text(), "&Abbrechen");
    EXPECT_TRUE(b->Cancel());
    EXPECT_EQ(empty->text(), "OK");

    b->SetKind(TBitBtnXP::bkOK);
    b->SetKind(TBitBtnXP::bkCancel);
    EXPECT_EQ(b->text(), "Cancel");
}

TEST(BitBtnXP, OddValuesAreCorrectedOrIgnored) {
    TBitBtnXP b;
    b.SetNumGlyphs(7);
    EXPECT_EQ(b.NumGlyphs(), 4);
    b.SetNumGlyphs(0);
    EXPECT_EQ(b.NumGlyphs(), 4);
    b.SetMargin(-2);
    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(3);
    b.SetMargin(-5);
    EXPECT_EQ(b.Margin(), 3);
    b.SetMargin(-1);
    EXPECT_EQ(b.Margin(), -1);
}

TEST(BitBtnXP, DescriptionPropertiesGoThroughTheMetaSystem) {
    TBitBtnXP b;
    b.setProperty("Kind", QVariant::fromValue(TBitBtnXP::bkYes));
    EXPECT_EQ(b.Kind(), TBitBtnXP::bkYes);
    b.setProperty("Default", false);
    EXPECT_FALSE(b.Default());
    EXPECT_EQ(b.property("Kind").value<TBitBtnXP::TBitBtnXPKind>(), TBitBtnXP::bkCustom);
    b.setProperty("GlyphResource", ":/glyphs/BBALLX.bmp");
    EXPECT_EQ(b.Glyph().size(), QSize(36, 19));
    b.setProperty("NumGlyphs", 2);
    EXPECT_EQ(b.NumGlyphs(), 2);
}

TEST(BitBtnXP, EnterClicksTheActiveButtonAndEscapeTheCancelButton) {
    DialogFixture f;
    QSignalSpy okClicks(f.ok, &TBitBtnXP::OnClick), otherClicks(f.other, &TBitBtnXP::OnClick),
        cancelClicks(f.cancel, &TBitBtnXP::OnClick);

    f.focus(f.edit);
    EXPECT_TRUE(f.ok->ActiveLook());
    EXPECT_FALSE(f.other->ActiveLook());
    QTest::keyClick(f.edit, Qt::Key_Return);
    EXPECT_EQ(okClicks.count(), 1);
    EXPECT_EQ(f.dialog.result(), 1);

    f.dialog.show();
    f.focus(f.other);
    EXPECT_TRUE(f.other->ActiveLook());
    EXPECT_FALSE(f.ok->ActiveLook());
    QTest::keyClick(f.other, Qt::Key_Return);
    EXPECT_EQ(otherClicks.count(), 1);
    EXPECT_EQ(okClicks.count(), 1);

    QTest::keyClick(f.other, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(otherClicks.count(), 1);

    QTest::keyClick(f.other, Qt::Key_Escape);
    EXPECT_EQ(cancelClicks.count(), 1);
    EXPECT_EQ(f.dialog.result(), 2);
}

TEST(BitBtnXP, DestroyingTheFocusedButtonLeavesTheOthersFollowingTheFocus) {
    DialogFixture f;
    f.focus(f.other);
    ASSERT_TRUE(f.other->hasFocus());
    delete f.other;
    f.focus(f.cancel);
    EXPECT_TRUE(f.cancel->ActiveLook());
    EXPECT_FALSE(f.ok->ActiveLook());
    f.focus(f.edit);
    EXPECT_TRUE(f.ok->ActiveLook());
    EXPECT_FALSE(f.cancel->ActiveLook());
}

TEST(BitBtnXP, AFailingClickHandlerIsReportedAndTheButtonStaysUsable) {
    TBitBtnXP b;
    b.resize(80, 25);
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    int calls = 0;
    QObject::connect(&b, &TBitBtnXP::OnClick, [&] {
        if (++calls == 1) throw std::runtime_error("Zur Zeit ist kein Standard-Drucker gewählt");
    });
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_EQ(test::Answers().Errors(), QStringList{"Zur Zeit ist kein Standard-Drucker gewählt."});
    EXPECT_FALSE(b.isDown());
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_EQ(calls, 2);
}

TEST(BitBtnXP, MnemonicClicks) {
    DialogFixture f;
    QSignalSpy clicks(f.other, &TBitBtnXP::OnClick);
    f.focus(f.edit);
    QTest::keyClick(&f.dialog, Qt::Key_W, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() == 1; }, 2000));
}

TEST(BitBtnXP, DoubleClickGivesTwoClicks) {
    TBitBtnXP b;
    b.resize(80, 25);
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    QSignalSpy clicks(&b, &TBitBtnXP::OnClick);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(40, 12));
    ASSERT_EQ(clicks.count(), 1);
    clicks.clear();
    // Through the window system: press, release, press with double click, release.
    DoubleClickCounter counter;
    b.installEventFilter(&counter);
    QTest::mouseDClick(b.windowHandle(), Qt::LeftButton, {}, QPoint(40, 12), 1000);
    ASSERT_EQ(counter.count, 1);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(BitBtnXP, CloseKindClosesItsWindowWithoutOnClick) {
    QWidget window;
    auto* b = new TBitBtnXP(&window);
    b->SetKind(TBitBtnXP::bkClose);
    window.show();
    QSignalSpy clicks(b, &TBitBtnXP::OnClick);
    b->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(clicks.count(), 0);
}

TEST(BitBtnXP, HelpKindShowsTheNearestHelpContext) {
    QWidget window;
    auto* panel = new QWidget(&window);
    panel->setProperty("HelpContext", 42);
    auto* b = new TBitBtnXP(panel);
    b->SetKind(TBitBtnXP::bkHelp);
    QSignalSpy clicks(b, &TBitBtnXP::OnClick);
    Application()->LastHelpCommand = -1;
    b->click();
    EXPECT_EQ(Application()->LastHelpCommand, 1);
    EXPECT_EQ(clicks.count(), 0);

    // Without a context it is an ordinary button.
    TBitBtnXP lone;
    lone.SetKind(TBitBtnXP::bkHelp);
    QSignalSpy loneClicks(&lone, &TBitBtnXP::OnClick);
    lone.click();
    EXPECT_EQ(loneClicks.count(), 1);
}

TEST(BitBtnXP, EveryButtonHoldsTheThemeLibrary) {
    const int before = ThemeApiUsers();
    {
        TBitBtnXP b;
        EXPECT_EQ(ThemeApiUsers(), before + 1);
        EXPECT_NE(b.ThemeHandle(), nullptr);
    }
    EXPECT_EQ(ThemeApiUsers(), before + 1);
    StylesOn off(false);
    EXPECT_FALSE(ThemedDrawingActive());
    TBitBtnXP classic;
    EXPECT_EQ(classic.ThemeHandle(), nullptr);
}

class ButtonPixels : public ::testing::Test {
protected:
    QWidget holder;
    TBitBtnXP* button = new TBitBtnXP(&holder);

    void SetUp() override {
        QPalette pal = holder.palette();
        pal.setColor(QPalette::Window, QColor(0, 0, 200));
        holder.setPalette(pal);
        holder.resize(140, 40);
        button->setGeometry(0, 0, 120, 30);
        button->setText("Weiter");
        QFont font("Liberation Sans");
        font.setPixelSize(12);
        button->setFont(font);
        button->SetGlyph(twoImageStrip(qRgb(255, 0, 0), qRgb(255, 255, 255)));
    }
    QImage paint(unsigned state) {
        QImage img(120, 30, QImage::Format_RGB32);
        img.fill(qRgb(0, 255, 0));
        TCanvas canvas(&img);
        button->PaintButton(canvas, state);
        return img;
    }
};

TEST_F(ButtonPixels, DisabledButtonInBothLooks) {
    button->setEnabled(false);
    for (bool themed : {false, true}) {
        SCOPED_TRACE(themed ? "themed" : "classic");
        StylesOn styles(themed);
        const QImage img = paint(ODS_DISABLED);
        // Image 1's white square in the highlight colour, no trace of image 0.
        EXPECT_FALSE(extentOf(img, rgbOf(clBtnHighlight)).isEmpty());
        EXPECT_TRUE(extentOf(img, qRgb(255, 0, 0)).isEmpty());
        // The caption etched in shadow colour, no plain text colour.
        EXPECT_FALSE(extentOf(img, rgbOf(clBtnShadow)).isEmpty());
        EXPECT_TRUE(extentOf(img, rgbOf(clBtnText)).isEmpty());
        if (themed)
            EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 200)) << "the holder shows in the open corner";
        else
            EXPECT_EQ(img.pixel(0, 0), rgbOf(clBtnHighlight)) << "classic frame";
    }
}

TEST_F(ButtonPixels, PressedShowsTheUpImageMovedByOnePixel) {
    StylesOn styles(false);
    const QRect up = extentOf(paint(0), qRgb(255, 0, 0));
    const QRect down = extentOf(paint(ODS_SELECTED), qRgb(255, 0, 0));
    ASSERT_EQ(up.size(), QSize(12, 12));
    EXPECT_EQ(down, up.translated(1, 1));
}

TEST_F(ButtonPixels, ActiveClassicButtonHasTheWindowFrameAndFocusRect) {
    StylesOn styles(false);
    holder.show();
    button->setFocus();
    QApplication::setActiveWindow(&holder);
    (void)QTest::qWaitForWindowActive(&holder);
    button->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(button->ActiveLook());
    const QImage img = paint(ODS_FOCUS);
    EXPECT_EQ(img.pixel(0, 0), rgbOf(clWindowFrame));
    EXPECT_EQ(img.pixel(119, 29), rgbOf(clWindowFrame));
    EXPECT_NE(img.pixel(4, 10), paint(0).pixel(4, 10)) << "dotted focus rectangle";
}

TEST_F(ButtonPixels, SwitchingStylesOffTurnsTheButtonClassicAtItsNextPaint) {
    holder.show();
    const QImage themed = button->grab().toImage();
    QImage classic;
    {
        StylesOn styles(false);
        classic = button->grab().toImage();
    }
    EXPECT_EQ(themed.pixel(0, 0), qRgb(0, 0, 200));
    EXPECT_EQ(classic.pixel(0, 0), rgbOf(clBtnHighlight));
}
