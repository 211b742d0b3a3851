// The backdrop on the main window's first tab: its controls, the ways a
// file comes in, the search that sets the area, and that neither the
// preview nor a job changes while none is loaded.
#include "app/application_setup.h"
#include "backdrop/backdrop.h"
#include "backdrop/backdrop_panel.h"
#include "controls/num_spin_edit.h"
#include "platform/paintbox.h"
#include "platform/qt_printer.h"
#include "tests/backdrop/backdrop_files.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace mx;
using namespace mx::test;

namespace {

class FirstTabBackdrop : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
    }
    TBackdropPanel& panel() { return *form->findChild<TBackdropPanel*>(); }
    // Files are read off the window's thread; the window stays usable.
    void waitForLoad() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel().Loading(); }, 20000));
    }
    void open(const QString& file) {
        form->OpenBackdrop(file);
        waitForLoad();
    }
    QImage preview() {
        ui().PaintBox1->Invalidate();
        Flush();
        return ui().PaintBox1->Buffer().copy();
    }
    // A letter page: "IBAN" twice and a black box at 30..60 x 100..120 mm.
    static QString letter() {
        TTestPage first;
        first.Texts = {{"Steuernummer 12/345", {20, 40}}, {"IBAN DE12 3456", {25, 80}}, {"IBAN DE98 7654", {25, 200}}};
        first.BlackRectsMm = {QRectF(30, 100, 30, 20)};
        TTestPage second;
        second.Texts = {{"Anlage", {20, 30}}};
        return WriteFile("brief.pdf", MakePdf({first, second}));
    }
    void typeSearch(const QString& text) { TypeAndEnter(panel().SearchField(), text); }
    Area area() const { return {form->AreaLeftMm, form->AreaRightMm, form->AreaTopMm, form->AreaBottomMm}; }
};

} // namespace

TEST_F(FirstTabBackdrop, ControlsTakeTheStripsFreeRowAndStartIdle) {
    const TBackdropPanel& p = panel();
    const QList<QWidget*> row{p.OpenButton(),     p.ScanButton(),   p.PageField(),
                              p.SaveScanButton(), p.RemoveButton(), p.SearchField()};
    for (QWidget* mine : row) {
        EXPECT_EQ(mine->parentWidget(), ui().FieldStrip);
        EXPECT_GT(mine->geometry().top(), ui().BottomEd->geometry().bottom());
        EXPECT_LE(mine->geometry().bottom(), 88);
        // Within the strip as the window is designed, 413 pixels wide.
        EXPECT_GE(mine->geometry().left(), 8);
        EXPECT_LE(mine->geometry().right(), 413 - 8);
        EXPECT_FALSE(mine->toolTip().isEmpty());
    }
    // Side by side; the save button takes the page field's place, never
    // shown with it.
    const auto inPlaceOf = [&](QWidget* a, QWidget* b) {
        return (a == p.SaveScanButton() && b == p.PageField()) || (b == p.SaveScanButton() && a == p.PageField());
    };
    for (QWidget* a : row)
        for (QWidget* b : row) {
            if (a == b || inPlaceOf(a, b)) continue;
            EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " " << b->objectName().toStdString();
        }
    EXPECT_FALSE(p.SaveScanButton()->isVisible());
    EXPECT_EQ(ui().ZoomEd->geometry(), QRect(48, 8, 65, 21));
    EXPECT_EQ(ui().BottomEd->geometry(), QRect(296, 32, 65, 21));
    EXPECT_EQ(p.SearchField()->placeholderText(), "Suchen");
    EXPECT_FALSE(p.HasBackdrop());
    EXPECT_FALSE(p.RemoveButton()->isEnabled());
    EXPECT_FALSE(p.SearchField()->isEnabled());
    EXPECT_FALSE(p.PageField()->isEnabled());
    EXPECT_TRUE(p.ScanButton()->isEnabled());
}

TEST_F(FirstTabBackdrop, WithoutABackdropThePreviewIsWhatItWas) {
    const QImage before = preview();
    open(letter());
    ASSERT_TRUE(panel().HasBackdrop());
    EXPECT_NE(preview(), before);
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);
    EXPECT_FALSE(panel().HasBackdrop());
    EXPECT_EQ(preview(), before);
}

TEST_F(FirstTabBackdrop, TheBackdropIsDrawnLightenedWhereTheMappingSaysAndNeverPrinted) {
    open(letter());
    const TViewMapping m{form->OriginX, form->OriginY, 30, ui().PaintBox1->logicalDpiX()};
    // The page's black box becomes the backdrop's darkest grey, its white
    // paper stays white.
    form->AreaLeftMm = form->AreaRightMm = form->AreaTopMm = form->AreaBottomMm = 0;
    const QImage image = preview();
    const auto greyAt = [&](double xMm, double yMm) {
        const QPoint at = QPoint(m.ToPreviewX(xMm), m.ToPreviewY(yMm)) - ui().PaintBox1->BufferRect().topLeft();
        EXPECT_TRUE(image.rect().contains(at));
        return qGray(image.pixel(at));
    };
    EXPECT_EQ(greyAt(45, 110), BackdropDarkest);
    EXPECT_EQ(greyAt(150, 150), 0xFF);

    // A job with the backdrop is the job without it, page for page.
    Answers().messageAnswers = {IDYES};
    form->PrintBtnClick(ui().PrintBtn);
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);
    Answers().messageAnswers = {IDYES};
    form->PrintBtnClick(ui().PrintBtn);
    ASSERT_EQ(printer->Documents.size(), 2u);
    EXPECT_EQ(printer->Documents[0].Pages, printer->Documents[1].Pages);
}

namespace {

int Luminance(QRgb c) { return qRound(0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c)); }

} // namespace

// Wherever the area lies, what it draws stands out from the backdrop
// beneath by 40 levels at least, and the backdrop's black stays 40 levels
// below its white.
TEST_F(FirstTabBackdrop, TheAreaStandsOutFromTheBackdropBeneathIt) {
    open(letter());
    ui().ZoomEd->setValue(100);
    Flush();
    const TViewMapping m{form->OriginX, form->OriginY, 100, ui().PaintBox1->logicalDpiX()};
    ui().ScrollBox1->verticalScrollBar()->setValue(m.ToPreviewY(74));
    form->AreaLeftMm = form->AreaRightMm = form->AreaTopMm = form->AreaBottomMm = 0;
    const QImage beneath = preview();
    // Over the black box, the white paper around it and the IBAN line.
    form->AreaLeftMm = 20;
    form->AreaRightMm = 70;
    form->AreaTopMm = 75;
    form->AreaBottomMm = 130;
    const QImage over = preview();
    const QRect area = m.ToPreview({20, 70, 75, 130}).ToQRect().translated(-ui().PaintBox1->BufferRect().topLeft());
    int drawn = 0, darkBeneath = 0, weakest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!beneath.rect().contains(x, y) || over.pixel(x, y) == beneath.pixel(x, y)) continue;
            ++drawn;
            if (Luminance(beneath.pixel(x, y)) <= BackdropDarkest) ++darkBeneath;
            weakest = std::min(weakest, std::abs(Luminance(over.pixel(x, y)) - Luminance(beneath.pixel(x, y))));
        }
    ASSERT_GT(drawn, 1000);
    ASSERT_GT(darkBeneath, 100); // some of it lies over the black box
    EXPECT_GE(weakest, 40);
    EXPECT_LE(BackdropDarkest, 255 - 40);
}

TEST_F(FirstTabBackdrop, APdfJobIsByteForByteTheSameWithOrWithoutABackdrop) {
    QTemporaryDir dir;
    const QByteArray without = PrintFrontJobAsPdf(dir.filePath("ohne.pdf"));
    open(letter());
    ASSERT_TRUE(panel().HasBackdrop());
    EXPECT_EQ(PrintFrontJobAsPdf(dir.filePath("mit.pdf")), without);
    SetPrinter(std::make_unique<TTestPrinter>());
}

TEST_F(FirstTabBackdrop, TheSearchPutsTheAreaOverTheTextAndGoesOnToTheNextMatch) {
    open(letter());
    ASSERT_TRUE(panel().SearchField()->isEnabled());
    // Poppler's box of the word, as the backdrop finds it.
    const auto page = TBackdrop::Open(letter());
    const QRectF first = *page->FindNext("iban", form->SheetWidthMm, form->SheetHeightMm);
    EXPECT_NEAR(first.left(), TextBoxMm({"IBAN DE12 3456", {25, 80}}).left(), 0.5);
    typeSearch("iban");
    // The word's box grown by 1 mm, as the fields show it (0.1 mm steps).
    EXPECT_NEAR(form->AreaLeftMm, first.left() - 1, 0.051);
    EXPECT_NEAR(form->AreaTopMm, first.top() - 1, 0.051);
    EXPECT_NEAR(form->AreaRightMm, first.right() + 1, 0.051);
    EXPECT_NEAR(form->AreaBottomMm, first.bottom() + 1, 0.051);
    EXPECT_EQ(ui().LeftEd->Value(), form->AreaLeftMm / 10);
    // Enter again: the next "IBAN", lower down the page.
    QTest::keyClick(panel().SearchField(), Qt::Key_Return);
    Flush();
    EXPECT_NEAR(form->AreaTopMm, TextBoxMm({"IBAN", {25, 200}}).top() - 1, 0.55);
    // No match: a note, and the area stays.
    const Area before = area();
    typeSearch("Kontonummer");
    EXPECT_EQ(area().Left, before.Left);
    EXPECT_EQ(area().Top, before.Top);
    EXPECT_TRUE(panel().SearchField()->toolTip().contains("„Kontonummer“ steht nicht auf dieser Seite"));
}

// At a zoom where the sheet is far larger than the view, the found area is
// scrolled into view, centred.
TEST_F(FirstTabBackdrop, TheSearchScrollsTheFoundAreaIntoView) {
    open(letter());
    ui().ZoomEd->setValue(500);
    Flush();
    QScrollBar* h = ui().ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ui().ScrollBox1->verticalScrollBar();
    h->setValue(0);
    v->setValue(0);
    for (int match = 0; match < 2; ++match) {
        SCOPED_TRACE(match);
        if (match == 0)
            typeSearch("iban");
        else {
            QTest::keyClick(panel().SearchField(), Qt::Key_Return);
            Flush();
        }
        const TRect r =
            TViewMapping{form->OriginX, form->OriginY, 500, ui().PaintBox1->logicalDpiX()}.ToPreview(area());
        const QSize view = ui().ScrollBox1->viewport()->size();
        ASSERT_LE(r.Width(), view.width());
        EXPECT_NEAR(r.Left - h->value(), view.width() - r.Right + h->value(), 2);
        EXPECT_NEAR(r.Top - v->value(), view.height() - r.Bottom + v->value(), 2);
    }
}

TEST_F(FirstTabBackdrop, PagesAreChosenInTheFieldAndAPageTooManyIsNoted) {
    open(letter());
    TNumSpinEdit* page = panel().PageField();
    ASSERT_TRUE(page->isEnabled());
    page->setFocus();
    page->selectAll();
    QTest::keyClick(page, '2');
    EXPECT_EQ(panel().Backdrop()->Page(), 2);
    page->selectAll();
    QTest::keyClick(page, '7');
    EXPECT_EQ(panel().Backdrop()->Page(), 2);
    EXPECT_EQ(page->toolTip(), "Seite 7 gibt es nicht: das Dokument hat 2 Seiten");
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

TEST_F(FirstTabBackdrop, FilesComeInByTheButtonByDroppingAndFromTheCommandLine) {
    const QString file = letter();
    Answers().openFileAnswers = {QString()}; // cancelled: nothing
    QTest::mouseClick(panel().OpenButton(), Qt::LeftButton);
    EXPECT_EQ(Answers().openFileRequests, 1);
    EXPECT_FALSE(panel().HasBackdrop());
    Answers().openFileAnswers = {file};
    QTest::mouseClick(panel().OpenButton(), Qt::LeftButton);
    waitForLoad();
    EXPECT_TRUE(panel().HasBackdrop());
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);

    QWidget* target = ui().ScrollBox1->viewport();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    waitForLoad();
    EXPECT_TRUE(panel().HasBackdrop());
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);

    OpenCommandLineFile(*form, {"marbelux"});
    EXPECT_FALSE(panel().HasBackdrop());
    OpenCommandLineFile(*form, {"marbelux", file});
    waitForLoad();
    EXPECT_TRUE(panel().HasBackdrop());
    EXPECT_EQ(panel().Backdrop()->FileName(), file);
}

// A 1200-dpi A4 scan takes a while: the status bar shows how far it is,
// the window goes on working, and the remove button gives it up.
TEST_F(FirstTabBackdrop, ABigScanLoadsBehindAResponsiveWindowAndCanBeGivenUp) {
    const int width = 9921, height = 14032;
    const QString file = WriteFile("fein.png", StreamedGreyPng(width, height, 1200, [&](int y, unsigned char* line) {
                                       std::fill(line, line + width, y % 97 < 3 ? 0x00 : 0xFF);
                                   }));
    form->OpenBackdrop(file);
    EXPECT_TRUE(panel().Loading());
    EXPECT_EQ(panel().RemoveButton()->text(), "Abbre&chen");
    EXPECT_TRUE(panel().RemoveButton()->isEnabled());
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);
    waitForLoad();
    EXPECT_FALSE(panel().HasBackdrop());
    EXPECT_EQ(panel().RemoveButton()->text(), "&Entfernen");
    EXPECT_TRUE(Answers().Errors().isEmpty());
    EXPECT_EQ(form->ProgressPercent, 0);

    form->OpenBackdrop(file);
    int seen = 0, edgeTyped = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (form->ProgressPercent > 0 && form->ProgressPercent < 100) seen = form->ProgressPercent;
            // The fields take keys meanwhile.
            if (panel().Loading() && edgeTyped == 0) {
                ui().LeftEd->setFocus();
                ui().LeftEd->selectAll();
                QTest::keyClick(ui().LeftEd, '3');
                edgeTyped = 1;
            }
            return !panel().Loading();
        },
        20000));
    EXPECT_GT(seen, 0);
    EXPECT_DOUBLE_EQ(form->AreaLeftMm, 30);
    EXPECT_TRUE(panel().HasBackdrop());
    // Its text is read next; given up, the status bar is empty again.
    ASSERT_TRUE(panel().Reading());
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel().Busy(); }, 20000));
    EXPECT_TRUE(panel().HasBackdrop());
    EXPECT_EQ(form->ProgressPercent, 0);
}

TEST_F(FirstTabBackdrop, AFileThatCannotBeShownIsReportedAndTheBackdropStays) {
    open(letter());
    const TBackdrop* before = panel().Backdrop();
    open(WriteFile("kaputt.pdf", "%PDF-1.4 nichts weiter"));
    open("/nirgends/datei.pdf");
    EXPECT_EQ(panel().Backdrop(), before);
    ASSERT_EQ(Answers().Errors().size(), 2);
    EXPECT_TRUE(Answers().Errors()[0].contains("„kaputt.pdf“"));
    EXPECT_TRUE(Answers().Errors()[1].contains("„datei.pdf“"));
}
