// The first tab on a real window: edge fields, preview, rulers, mouse.
#include "controls/num_spin_edit.h"
#include "geometry/sheet_math.h"
#include "platform/paintbox.h"
#include "platform/status_bar.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTest>

using namespace mx;
using namespace mx::test;

namespace {

class FirstTab : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
    }
    void paste(TNumSpinEdit* field, const QString& text) {
        QApplication::clipboard()->setText(text);
        field->setFocus();
        field->selectAll();
        field->paste();
        Flush();
    }
    void setZoom(int z) {
        ui().ZoomEd->setValue(z);
        Flush();
    }
    // Preview pixel of an area edge, as the window computes it.
    int px(double mm, bool horizontal) {
        return EdgeToPreview(mm, int(ui().ZoomEd->Value()), ui().PaintBox1->logicalDpiX(),
                             horizontal ? form->OriginX : form->OriginY);
    }
};

} // namespace

TEST_F(FirstTab, FirstPaintSetsTheAreaToTheWholeSheet) {
    EXPECT_TRUE(form->AreaInitialised);
    EXPECT_DOUBLE_EQ(form->SheetWidthMm, 5100 * MmPerInch / 600);
    EXPECT_DOUBLE_EQ(form->SheetHeightMm, 6600 * MmPerInch / 600);
    EXPECT_EQ(ui().LeftEd->text(), "0,00");
    EXPECT_EQ(ui().RightEd->text(), "21,59");
    EXPECT_EQ(ui().TopEd->text(), "0,00");
    EXPECT_EQ(ui().BottomEd->text(), "27,94");
    // The nested rules clamp the rounded field values back to the sheet.
    EXPECT_DOUBLE_EQ(form->AreaRightMm, form->SheetWidthMm);
    EXPECT_DOUBLE_EQ(form->AreaBottomMm, form->SheetHeightMm);
}

TEST_F(FirstTab, EdgeRuleExchangesClampsAndWritesBack) {
    paste(ui().RightEd, "10");
    paste(ui().LeftEd, "15");
    EXPECT_DOUBLE_EQ(form->AreaLeftMm, 100);
    EXPECT_DOUBLE_EQ(form->AreaRightMm, 150);
    EXPECT_EQ(ui().LeftEd->text(), "10,00");
    EXPECT_EQ(ui().RightEd->text(), "15,00");

    paste(ui().TopEd, "-3");
    EXPECT_DOUBLE_EQ(form->AreaTopMm, 0);
    EXPECT_EQ(ui().TopEd->text(), "0,00");

    paste(ui().BottomEd, "99");
    EXPECT_DOUBLE_EQ(form->AreaBottomMm, form->SheetHeightMm);
    EXPECT_EQ(ui().BottomEd->text(), "27,94");

    paste(ui().LeftEd, "abc"); // not a number: 0
    EXPECT_DOUBLE_EQ(form->AreaLeftMm, 0);
    EXPECT_EQ(ui().LeftEd->text(), "0,00");
}

TEST_F(FirstTab, TypingDigitByDigitEndsWithTheNormalisedValue) {
    ui().LeftEd->setFocus();
    ui().LeftEd->selectAll();
    QTest::keyClicks(ui().LeftEd, "5");
    Flush();
    EXPECT_DOUBLE_EQ(form->AreaLeftMm, 50);
    EXPECT_EQ(ui().LeftEd->text(), "5,00");
}

// Typed key by key over the selected text, as a person types.
TEST_F(FirstTab, NumbersTypedKeyByKeyLandWhereTheyAreTyped) {
    struct Case {
        const char* keys;
        const char* shown;
        double mm;
    };
    for (TNumSpinEdit* field : {ui().LeftEd, ui().RightEd}) {
        for (const Case& c : {Case{"15", "15,00", 150}, Case{"15,5", "15,50", 155}, Case{"2,5", "2,50", 25}}) {
            SCOPED_TRACE(field->objectName().toStdString() + " <- " + c.keys);
            // The area covers the whole sheet before every case.
            paste(ui().LeftEd, "0");
            paste(ui().RightEd, "99");
            field->setFocus();
            field->selectAll();
            for (const QChar key : QString(c.keys)) QTest::keyClick(field, key.toLatin1());
            Flush();
            EXPECT_EQ(field->text(), c.shown);
            EXPECT_DOUBLE_EQ(field == ui().LeftEd ? form->AreaLeftMm : form->AreaRightMm, c.mm);
            EXPECT_EQ(Application()->BeepCount, 0);
        }
    }
    // After the first digit the caret stays behind it, not behind the zeros.
    ui().TopEd->setFocus();
    ui().TopEd->selectAll();
    QTest::keyClick(ui().TopEd, '1');
    EXPECT_EQ(ui().TopEd->text(), "1,00");
    EXPECT_EQ(ui().TopEd->cursorPosition(), 1);
    // A second separator elsewhere is still refused.
    ui().TopEd->setCursorPosition(4);
    QTest::keyClick(ui().TopEd, ',');
    EXPECT_EQ(ui().TopEd->text(), "1,00");
    EXPECT_EQ(Application()->BeepCount, 1);
}

// What a person types is what the field ends with: an edge on its way past
// the other one is exchanged only when the edit ends.
TEST_F(FirstTab, AnEdgeTypedPastTheOtherIsExchangedWhenTheEditEnds) {
    const auto type = [&](TNumSpinEdit* field, const char* keys) {
        field->setFocus();
        field->selectAll();
        for (const char* k = keys; *k; ++k) QTest::keyClick(field, *k);
        Flush();
    };
    const auto shows = [&](const char* left, const char* right) {
        EXPECT_EQ(ui().LeftEd->text(), left);
        EXPECT_EQ(ui().RightEd->text(), right);
    };
    paste(ui().LeftEd, "5");
    paste(ui().RightEd, "20,1");
    type(ui().RightEd, "10,00");
    shows("5,00", "10,00");
    EXPECT_DOUBLE_EQ(form->AreaRightMm, 100);
    QTest::keyClick(ui().RightEd, Qt::Key_Tab);
    shows("5,00", "10,00");

    // Enter ends the edit.
    type(ui().RightEd, "3");
    shows("5,00", "3,00");
    QTest::keyClick(ui().RightEd, Qt::Key_Return);
    shows("3,00", "5,00");
    EXPECT_DOUBLE_EQ(form->AreaLeftMm, 30);
    EXPECT_DOUBLE_EQ(form->AreaRightMm, 50);

    // The focus leaving by Tab; the vertical edges alike.
    paste(ui().TopEd, "8");
    type(ui().BottomEd, "2");
    EXPECT_EQ(ui().BottomEd->text(), "2,00");
    QTest::keyClick(ui().BottomEd, Qt::Key_Tab);
    EXPECT_EQ(ui().TopEd->text(), "2,00");
    EXPECT_EQ(ui().BottomEd->text(), "8,00");

    // A spin step is no typing: the rule exchanges at once.
    type(ui().LeftEd, "7");
    shows("7,00", "5,00");
    ui().LeftEd->StepUp();
    shows("5,00", "8,00");

    // Clamping to the sheet stays immediate.
    type(ui().RightEd, "99");
    EXPECT_EQ(ui().RightEd->text(), "21,59");
}

TEST_F(FirstTab, ZoomAndCopiesTypedKeyByKey) {
    ui().ZoomEd->setFocus();
    ui().ZoomEd->selectAll();
    QTest::keyClicks(ui().ZoomEd, "150");
    EXPECT_EQ(ui().ZoomEd->text(), "150");
    ui().CopiesED->setFocus();
    ui().CopiesED->selectAll();
    QTest::keyClicks(ui().CopiesED, "12");
    EXPECT_EQ(ui().CopiesED->text(), "12");
}

TEST_F(FirstTab, PreviewShowsSheetHatchedAreaAndGuideLines) {
    setZoom(40);
    TPaintBox* box = ui().PaintBox1;
    paste(ui().LeftEd, "5");
    paste(ui().RightEd, "10");
    paste(ui().TopEd, "5");
    paste(ui().BottomEd, "10");
    const int L = px(50, true), R = px(100, true), T = px(50, false), B = px(100, false);
    ASSERT_GT(R - L, 20);
    // Surroundings left of the sheet, the sheet's black outline, white sheet.
    EXPECT_EQ(box->PixelAt(form->OriginX - 5, form->OriginY + 5), ColorToRGB(clAppWorkSpace));
    EXPECT_EQ(box->PixelAt(form->OriginX + 5, form->OriginY), clBlack);
    EXPECT_EQ(box->PixelAt(form->OriginX + 3, form->OriginY + 3), clWhite);
    // Inside the area: silver hatch lines on white, nothing else.
    const QRect shown = box->BufferRect();
    ASSERT_TRUE(shown.contains(QRect(L, T, R - L, B - T)));
    int silver = 0, white = 0;
    for (int y = T + 2; y < B - 2; ++y)
        for (int x = L + 2; x < R - 2; ++x) {
            const TColor c = box->PixelAt(x, y);
            if (c == clSilver)
                ++silver;
            else if (c == clWhite)
                ++white;
            else
                ADD_FAILURE() << "unexpected colour inside the area at " << x << "," << y;
        }
    EXPECT_GT(silver, 0);
    EXPECT_GT(white, silver);
    // The guide line through the top edge runs across the whole preview,
    // black dots with white gaps, over the surroundings too.
    EXPECT_EQ(box->PixelAt(0, T), clBlack);
    EXPECT_EQ(box->PixelAt(1, T), clWhite);
    const int far = shown.right();
    EXPECT_EQ(box->PixelAt(far - 1, T) == clBlack || box->PixelAt(far, T) == clBlack, true);
    EXPECT_EQ(box->PixelAt(L, 1) == clBlack || box->PixelAt(L, 2) == clBlack, true);
}

TEST_F(FirstTab, RulersMarkTheSheetAndFollowScrolling) {
    setZoom(100);
    TPaintBox* ruler = ui().PaintBox3;
    Flush();
    EXPECT_EQ(ruler->PixelAt(form->SheetLeftPx + 3, 8), clWhite);
    EXPECT_EQ(ruler->PixelAt(form->SheetLeftPx - 3, 8), ColorToRGB(0x0099A8AC));
    EXPECT_EQ(ruler->PixelAt(form->SheetLeftPx - 3, 2), ColorToRGB(clBtnFace));
    // The centimetre mark at 0 covers rows 10 to 13.
    EXPECT_EQ(ruler->PixelAt(form->SheetLeftPx, 10), clBlack);
    EXPECT_EQ(ruler->PixelAt(form->SheetLeftPx, 13), clBlack);
    EXPECT_EQ(ruler->PixelAt(form->SheetLeftPx, 14), clWhite);

    const int before = form->SheetLeftPx;
    ui().ScrollBox1->horizontalScrollBar()->setValue(120);
    Flush();
    EXPECT_EQ(form->SheetLeftPx, before - 120);
    EXPECT_EQ(ruler->PixelAt(form->SheetLeftPx + 3 + 120, 8), clWhite);
}

TEST_F(FirstTab, DragANewAreaWithRealMouseEvents) {
    setZoom(100);
    QWidget* box = ui().PaintBox1;
    const QPoint start(px(20, true), px(30, false));
    QTest::mouseMove(box, start);
    QTest::mousePress(box, Qt::LeftButton, {}, start);
    Flush();
    EXPECT_EQ(form->Dragging, 1);
    EXPECT_NEAR(form->AreaLeftMm, form->AreaRightMm, 1e-9); // zero size at the press
    const QPoint end(px(80, true), px(90, false));
    QTest::mouseMove(box, end);
    Flush();
    QTest::mouseRelease(box, Qt::LeftButton, {}, end);
    Flush();
    EXPECT_EQ(form->Dragging, 0);
    EXPECT_NEAR(form->AreaLeftMm, 20, 0.3);
    EXPECT_NEAR(form->AreaRightMm, 80, 0.3);
    EXPECT_NEAR(form->AreaTopMm, 30, 0.3);
    EXPECT_NEAR(form->AreaBottomMm, 90, 0.3);
    EXPECT_EQ(ui().RightEd->text(), QLocale().toString(form->AreaRightMm / 10, 'f', 2));
}

TEST_F(FirstTab, DraggingTheLeftEdgeAcrossTheRightExchangesThem) {
    setZoom(100);
    paste(ui().LeftEd, "5");
    paste(ui().RightEd, "10");
    paste(ui().TopEd, "5");
    paste(ui().BottomEd, "10");
    const int y = px(75, false);
    form->PaintBox1MouseMove({}, px(50, true) + 2, y); // hover: left zone
    EXPECT_TRUE(form->LeftActive);
    EXPECT_EQ(ui().PaintBox1->cursor().shape(), Qt::SizeHorCursor);
    form->PaintBox1MouseDown(Qt::LeftButton, {}, px(50, true) + 2, y);
    form->PaintBox1MouseMove({}, px(150, true), y);
    form->PaintBox1MouseUp(Qt::LeftButton, {}, px(150, true), y);
    EXPECT_NEAR(form->AreaLeftMm, 100, 0.01);
    EXPECT_NEAR(form->AreaRightMm, 150, 0.3);
    EXPECT_TRUE(form->RightActive);
    EXPECT_FALSE(form->LeftActive);
}

TEST_F(FirstTab, DragBeyondThePreviewStopsAtTheSheetEdgesEvenWhenScrolled) {
    setZoom(200);
    QScrollBar* h = ui().ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ui().ScrollBox1->verticalScrollBar();
    h->setValue(h->maximum());
    v->setValue(v->maximum());
    Flush();
    // Hover on the bottom-right corner, press, drag far beyond.
    const int R = form->DragLimitRight, B = form->DragLimitBottom;
    form->PaintBox1MouseMove({}, R - 2, B - 2);
    ASSERT_TRUE(form->RightActive && form->BottomActive);
    form->PaintBox1MouseDown(Qt::LeftButton, {}, R - 2, B - 2);
    form->PaintBox1MouseMove({}, R + 5000, B + 5000);
    form->PaintBox1MouseUp(Qt::LeftButton, {}, R + 5000, B + 5000);
    EXPECT_DOUBLE_EQ(form->AreaRightMm, form->SheetWidthMm);
    EXPECT_DOUBLE_EQ(form->AreaBottomMm, form->SheetHeightMm);
    // And a new area dragged far beyond the sheet's top-left corner.
    h->setValue(0);
    v->setValue(0);
    Flush();
    const QPoint inside(form->OriginX + 30, form->OriginY + 30);
    form->PaintBox1MouseMove({}, inside.x(), inside.y());
    ASSERT_FALSE(form->OverEdge);
    form->PaintBox1MouseDown(Qt::LeftButton, {}, inside.x(), inside.y());
    form->PaintBox1MouseMove({}, -5000, -5000);
    EXPECT_DOUBLE_EQ(form->AreaLeftMm, 0);
    EXPECT_DOUBLE_EQ(form->AreaTopMm, 0);
    EXPECT_GT(form->AreaRightMm, 0);
    form->PaintBox1MouseUp(Qt::LeftButton, {}, -5000, -5000);
}

TEST_F(FirstTab, ADragStepPaintsThePreviewOnceAndTheRulersOnlyWhenTheyMove) {
    setZoom(200);
    form->PaintBox1MouseMove({}, 50, 50);
    form->PaintBox1MouseDown(Qt::LeftButton, {}, 50, 50);
    Flush();
    const int preview = ui().PaintBox1->PaintCount(), top = ui().PaintBox3->PaintCount(),
              left = ui().PaintBox4->PaintCount();
    QTest::mouseMove(ui().PaintBox1, QPoint(140, 160));
    Flush();
    EXPECT_EQ(ui().PaintBox1->PaintCount() - preview, 1);
    // The sheet did not move: the rulers show what they showed.
    EXPECT_EQ(ui().PaintBox3->PaintCount() - top, 0);
    EXPECT_EQ(ui().PaintBox4->PaintCount() - left, 0);
    QTest::mouseRelease(ui().PaintBox1, Qt::LeftButton, {}, QPoint(140, 160));
    // Scrolling moves the sheet under the left ruler, not under the top one.
    SendWheel(ui().PaintBox1, -1);
    Flush();
    EXPECT_EQ(ui().PaintBox4->PaintCount() - left, 1);
    EXPECT_EQ(ui().PaintBox3->PaintCount() - top, 0);
}

TEST_F(FirstTab, AnyTypedZoomIsHarmless) {
    const double left = form->AreaLeftMm, right = form->AreaRightMm;
    const auto type = [&](const char* text) {
        ui().ZoomEd->setFocus();
        ui().ZoomEd->selectAll();
        QApplication::clipboard()->setText(text);
        ui().ZoomEd->paste();
        Flush();
    };
    // Not positive: a sheet of no size, and the mouse changes nothing.
    for (const char* text : {"0", "-50", "-2147483648"}) {
        SCOPED_TRACE(text);
        type(text);
        EXPECT_EQ(form->DragLimitRight, form->OriginX);
        EXPECT_EQ(form->DragLimitBottom, form->OriginY);
        QTest::mousePress(ui().PaintBox1, Qt::LeftButton, {}, QPoint(40, 40));
        QTest::mouseMove(ui().PaintBox1, QPoint(90, 90));
        QTest::mouseRelease(ui().PaintBox1, Qt::LeftButton, {}, QPoint(90, 90));
        EXPECT_EQ(form->AreaLeftMm, left);
        EXPECT_EQ(form->AreaRightMm, right);
    }
    // Not a number, or beyond the integer range: the field's minimum, 10.
    for (const char* text : {"abc", "", "99999999999"}) {
        SCOPED_TRACE(text);
        type(text);
        EXPECT_EQ(ui().ZoomEd->Value(), 10);
        EXPECT_EQ(form->DragLimitRight - form->OriginX,
                  SheetScreenPixels(5100, ui().PaintBox1->logicalDpiX(), 600, 10));
    }
    // Huge: the sheet is as long as a widget can be, and no sum overflows
    // (the sanitizer build checks every one).
    type("1000000000");
    EXPECT_EQ(ui().ZoomEd->Value(), 1000000000);
    EXPECT_LE(ui().PaintBox1->width(), MaxPreviewPixels);
    EXPECT_GE(form->DragLimitRight, form->OriginX);
    QTest::mouseMove(ui().PaintBox1, QPoint(30, 30));
    EXPECT_EQ(form->AreaLeftMm, left);
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

TEST_F(FirstTab, TheWheelScrollsThirtyPixelsPerNotchWhereverTheMouseIs) {
    setZoom(200);
    QScrollBar* v = ui().ScrollBox1->verticalScrollBar();
    ASSERT_GT(v->maximum(), 100);
    v->setValue(0);
    SendWheel(ui().PaintBox1, -1);
    EXPECT_EQ(v->value(), 30);
    SendWheel(ui().LeftEd, -2); // a spin field passes the wheel on
    EXPECT_EQ(v->value(), 90);
    SendWheel(ui().PaintBox4, 1);
    EXPECT_EQ(v->value(), 60);
    SendWheel(ui().PaintBox1, 5);
    EXPECT_EQ(v->value(), 0); // the scroll box keeps its range
}

TEST_F(FirstTab, AfterAnotherPaperTheFirstTabShowsAndClampsAgainstTheNewSheet) {
    // A5 portrait at 600 dpi.
    printer->OnSetup = [](TTestGeometry& g) {
        g.PhysicalWidth = 3496;
        g.PhysicalHeight = 4961;
        return true;
    };
    QTabBar* tabs = ui().PageControl2->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    Flush();
    QTest::mouseClick(ui().PrintSetupBtn, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_EQ(printer->SetupCalls, 1);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    Flush();
    EXPECT_DOUBLE_EQ(form->SheetWidthMm, 3496 * MmPerInch / 600);
    EXPECT_DOUBLE_EQ(form->SheetHeightMm, 4961 * MmPerInch / 600);
    EXPECT_EQ(form->DragLimitBottom - form->OriginY, SheetScreenPixels(4961, ui().PaintBox1->logicalDpiX(), 600, 30));
    // The area keeps its millimetres until the next edit ...
    EXPECT_DOUBLE_EQ(form->AreaBottomMm, 6600 * MmPerInch / 600);
    // ... which clamps against the new sheet.
    ui().BottomEd->setFocus();
    ui().BottomEd->selectAll();
    QTest::keyClicks(ui().BottomEd, "99");
    EXPECT_EQ(ui().BottomEd->text(), "21,00");
    // The rewritten field reads 21,00 again: within the sheet, it stays.
    EXPECT_DOUBLE_EQ(form->AreaBottomMm, 210);
}

TEST_F(FirstTab, GrowingTheWindowRecentresTheWholeSheet) {
    setZoom(10);
    const int before = form->OriginX, rulerPaints = ui().PaintBox3->PaintCount();
    form->resize(form->width() + 300, form->height() + 200);
    Flush();
    const int scrollBar = ui().ScrollBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_EQ(ui().PaintBox1->width(), ui().ScrollBox1->width() - scrollBar - 3);
    EXPECT_EQ(ui().PaintBox1->height(), ui().ScrollBox1->height() - scrollBar - 3);
    const int sheet = form->DragLimitRight - form->OriginX;
    EXPECT_EQ(form->OriginX, 16 + (ui().PaintBox1->width() - (sheet + 36)) / 2);
    EXPECT_GT(form->OriginX, before + 100);
    // The top ruler shows the sheet where it now is (row 16: band, no marks).
    EXPECT_EQ(form->SheetLeftPx, form->OriginX);
    EXPECT_GT(ui().PaintBox3->PaintCount(), rulerPaints);
    EXPECT_EQ(ui().PaintBox3->PixelAt(form->SheetLeftPx - 2, 16), TColor(0x0099A8AC));
    EXPECT_EQ(ui().PaintBox3->PixelAt(form->SheetLeftPx + 2, 16), clWhite);
}

TEST_F(FirstTab, NoPrinterIsReportedOncePerUserAction) {
    printer->FailMessage = "Zur Zeit ist kein Standard-Drucker gewählt";
    for (int i = 0; i < 5; ++i) ui().PaintBox1->Invalidate();
    form->PaintBox1Paint(form.get());
    form->PaintBox1Paint(form.get());
    Flush();
    ASSERT_EQ(Answers().Errors().size(), 1);
    EXPECT_EQ(Answers().Errors().front(), "Zur Zeit ist kein Standard-Drucker gewählt.");
    EXPECT_EQ(Answers().messages.front().caption, "Marbelux 1.0");
    // The next user action may report it again.
    QTest::mouseClick(ui().PaintBox1, Qt::LeftButton, {}, QPoint(5, 5));
    Flush();
    EXPECT_EQ(Answers().Errors().size(), 2);
}
