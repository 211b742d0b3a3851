// The front and back jobs on a scripted printer: question, rectangle,
// pages, style per copy, and failures.
#include "controls/color_combo_box.h"
#include "controls/num_spin_edit.h"
#include "controls/radio_group.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/test_printer.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QApplication>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace mx;
using namespace mx::test;

namespace {

class PrintJob : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        geometry.PhysicalWidth = 5100;
        geometry.PhysicalHeight = 6600;
        geometry.OffsetX = 100;
        geometry.OffsetY = 150;
        CreateForm();
        form->AreaLeftMm = 20;
        form->AreaRightMm = 50;
        form->AreaTopMm = 30;
        form->AreaBottomMm = 40;
        ui().fillBox->setItemIndex(0); // solid: the rectangle is one colour
        ui().TavelColorComboBox2->setColorValue(clRed);
    }
    QRect filled(const QImage& page) { return TTestPrinter::FindColor(page, Qt::red, printer->RenderScale); }
};

} // namespace

TEST_F(PrintJob, FrontJobAsksThenFillsTheRectangleOnePagePerCopy) {
    Answers().messageAnswers = {IDYES};
    ui().CopiesED->setValue(3);
    form->PrintBtnClick(ui().PrintBtn);
    ASSERT_EQ(Answers().messages.size(), 1u);
    EXPECT_EQ(Answers().messages[0].text, "Wollen Sie das eingelegte Dokument wirklich vernichten?");
    EXPECT_EQ(Answers().messages[0].caption, "Sicherheitsabfrage");
    EXPECT_EQ(Answers().messages[0].flags, 19);
    // The print system is asked again once, before the job reads the printer.
    EXPECT_EQ(printer->RefreshCalls, 1);
    ASSERT_EQ(printer->Documents.size(), 1u);
    const TTestDocument& doc = printer->Documents[0];
    EXPECT_EQ(doc.Title, "Dokument vernichten");
    EXPECT_EQ(doc.PageCount, 3);
    EXPECT_EQ(doc.NewPageCalls, 2);
    EXPECT_TRUE(doc.Ended);
    for (const QImage& page : doc.Pages) {
        const QRect r = filled(page);
        // 372, 558, 1081, 794 (right and bottom exclusive), within the render scale.
        EXPECT_NEAR(r.left(), 372, 10);
        EXPECT_NEAR(r.top(), 558, 10);
        EXPECT_NEAR(r.right() + 1, 1081, 10);
        EXPECT_NEAR(r.bottom() + 1, 794, 10);
    }
    EXPECT_EQ(form->ProgressPercent, 0); // reset when the document is closed
}

TEST_F(PrintJob, BackJobMirrorsTheRectangle) {
    Answers().messageAnswers = {IDYES};
    form->BackBtnClick(ui().BackBtn);
    ASSERT_EQ(printer->Documents.size(), 1u);
    EXPECT_EQ(printer->Documents[0].Title, "Dokumenten-Rückseite vernichten");
    EXPECT_EQ(printer->Documents[0].PageCount, 1);
    EXPECT_EQ(printer->Documents[0].NewPageCalls, 0);
    const QRect r = filled(printer->Documents[0].Pages[0]);
    EXPECT_NEAR(r.left(), 3819, 10);
    EXPECT_NEAR(r.right() + 1, 4528, 10);
    EXPECT_NEAR(r.top(), 558, 10);
}

// Go! takes no focus, so a field being typed into is still being edited:
// the job takes the edges as the end of that edit leaves them.
TEST_F(PrintJob, AnEdgeTypedPastTheOtherPrintsExchanged) {
    ui().RightEd->setFocus();
    ui().RightEd->selectAll();
    QTest::keyClick(ui().RightEd, '1'); // 10 mm, left of the left edge at 20 mm
    ASSERT_DOUBLE_EQ(form->AreaRightMm, 10);
    Answers().messageAnswers = {IDYES};
    QTest::mouseClick(ui().PrintBtn, Qt::LeftButton);
    ASSERT_EQ(printer->Documents.size(), 1u);
    const QRect r = filled(printer->Documents[0].Pages[0]);
    EXPECT_NEAR(r.left(), 236 - 100, 10); // p(10 mm) = 236
    EXPECT_NEAR(r.right() + 1, 472 - 100, 10);
    EXPECT_EQ(ui().LeftEd->text(), "1,00");
    EXPECT_EQ(ui().RightEd->text(), "2,00");
}

TEST_F(PrintJob, AnyAnswerButYesPrintsNothing) {
    for (int answer : {IDNO, IDCANCEL}) {
        Answers().messageAnswers = {answer};
        form->PrintBtnClick(ui().PrintBtn);
        form->BackBtnClick(ui().BackBtn);
    }
    EXPECT_TRUE(printer->Documents.empty());
}

TEST_F(PrintJob, CopyCountsBelowOneGiveOneEmptyPage) {
    Answers().messageAnswers = {IDYES};
    ui().CopiesED->setText("0"); // typed, not yet limited by leaving the field
    form->PrintBtnClick(ui().PrintBtn);
    ASSERT_EQ(printer->Documents.size(), 1u);
    EXPECT_EQ(printer->Documents[0].PageCount, 1);
    EXPECT_TRUE(filled(printer->Documents[0].Pages[0]).isNull());
}

TEST_F(PrintJob, HundredCopiesGiveHundredPages) {
    printer->KeepPages = false;
    Answers().messageAnswers = {IDYES};
    ui().CopiesED->setValue(100);
    form->PrintBtnClick(ui().PrintBtn);
    ASSERT_EQ(printer->Documents.size(), 1u);
    EXPECT_EQ(printer->Documents[0].PageCount, 100);
    EXPECT_EQ(printer->Documents[0].NewPageCalls, 99);
}

// The job is what the window showed at the click: a fill, a colour or a
// copy count changed between its pages changes none of them.
TEST_F(PrintJob, ChangesWhileItPrintsChangeNothingOfTheJob) {
    printer->RenderScale = 0.05;
    Answers().messageAnswers = {IDYES};
    ui().CopiesED->setValue(100);
    ui().fillBox->setItemIndex(2);
    int pages = 0;
    printer->AbortProc = [&] {
        // Between the pages the user clicks another fill, picks another
        // colour and lowers the copies.
        ++pages;
        QRadioButton* other = ui().fillBox->Button(pages % 2 ? 5 : 0);
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(6, other->height() / 2));
        ui().TavelColorComboBox2->setColorValue(pages % 2 ? clBlue : clLime);
        ui().CopiesED->setValue(2);
        QCoreApplication::processEvents();
    };
    form->PrintBtnClick(ui().PrintBtn);
    ASSERT_GT(pages, 50);
    ASSERT_EQ(printer->Documents.size(), 1u);
    const TTestDocument& doc = printer->Documents[0];
    EXPECT_EQ(doc.PageCount, 100);
    EXPECT_EQ(doc.NewPageCalls, 99);
    ASSERT_FALSE(filled(doc.Pages[0]).isNull());
    int differing = 0;
    for (const QImage& page : doc.Pages) differing += page != doc.Pages[0];
    EXPECT_EQ(differing, 0);
}

TEST_F(PrintJob, NoPrinterReportsAndOpensNothing) {
    printer->FailMessage = "Zur Zeit ist kein Standard-Drucker gewählt";
    Answers().messageAnswers = {IDYES};
    Application()->Guard([&] { form->PrintBtnClick(ui().PrintBtn); });
    EXPECT_TRUE(printer->Documents.empty());
    ASSERT_EQ(Answers().Errors().size(), 1);
    EXPECT_EQ(Answers().Errors()[0], "Zur Zeit ist kein Standard-Drucker gewählt.");
}

TEST_F(PrintJob, FailureAfterTheDocumentOpenedAbortsIt) {
    printer->FailAtPage = 2;
    Answers().messageAnswers = {IDYES};
    ui().CopiesED->setValue(3);
    Application()->Guard([&] { form->PrintBtnClick(ui().PrintBtn); });
    ASSERT_EQ(printer->Documents.size(), 1u);
    EXPECT_TRUE(printer->Documents[0].Aborted);
    EXPECT_FALSE(printer->Documents[0].Ended);
    EXPECT_FALSE(printer->Printing());
    EXPECT_EQ(Answers().Errors().size(), 1) << Answers().Errors().join('|').toStdString();
    EXPECT_EQ(form->ProgressPercent, 0);
}

TEST_F(PrintJob, AJobStartedDuringAnotherFailsAndTheFirstGoesOn) {
    Answers().messageAnswers = {IDYES, IDYES};
    ui().CopiesED->setValue(2);
    bool nested = false;
    printer->AbortProc = [&] {
        if (nested) return;
        nested = true;
        Application()->Guard([&] { form->BackBtnClick(ui().BackBtn); });
    };
    form->PrintBtnClick(ui().PrintBtn);
    ASSERT_EQ(Answers().Errors().size(), 1) << Answers().Errors().join('|').toStdString();
    EXPECT_EQ(Answers().Errors()[0], "Das Drucken ist im Gang.");
    ASSERT_EQ(printer->Documents.size(), 1u);
    EXPECT_EQ(printer->Documents[0].PageCount, 2);
    EXPECT_TRUE(printer->Documents[0].Ended);
}

TEST_F(PrintJob, ProgressFollowsTheCopies) {
    Answers().messageAnswers = {IDYES};
    ui().CopiesED->setValue(4);
    std::vector<int> seen;
    printer->AbortProc = [&] { seen.push_back(form->ProgressPercent); };
    form->PrintBtnClick(ui().PrintBtn);
    EXPECT_EQ(seen, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(form->ProgressPercent, 0);
}

// The real message box: Enter answers Yes.
TEST(SecurityQuestion, EnterAnswersYesInTheRealMessageBox) {
    auto previous = Application()->SetAnswerer(nullptr);
    QTimer::singleShot(50, [] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, Qt::Key_Return);
    });
    const int answer =
        Application()->MessageBox("Wollen Sie das eingelegte Dokument wirklich vernichten?", "Sicherheitsabfrage", 19);
    Application()->SetAnswerer(std::move(previous));
    EXPECT_EQ(answer, IDYES);
}

TEST_F(PrintJob, ClosingDuringAJobWaitsForItsEnd) {
    Answers().messageAnswers = {IDYES};
    ui().CopiesED->setValue(3);
    bool closed = false;
    printer->AbortProc = [&] {
        if (!closed) closed = true, form->close();
        EXPECT_TRUE(form->isVisible());
    };
    form->PrintBtnClick(ui().PrintBtn);
    EXPECT_EQ(printer->Documents.at(0).PageCount, 3);
    EXPECT_TRUE(printer->Documents.at(0).Ended);
    Flush();
    EXPECT_FALSE(form->isVisible());
}
