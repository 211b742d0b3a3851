// Test print and calibration on the main window's third tab: where their
// controls go, the line that names the correction, and the jobs of the
// window with and without a correction stored.
#include "calibration/calibration_panel.h"
#include "controls/radio_group.h"
#include "platform/qt_printer.h"
#include "print/calibration_store.h"
#include "print/correction.h"
#include "print/overprint_rect.h"
#include "settings/form_storage.h"
#include "tests/support/cups_fixture.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/output_readback.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

using namespace mx;
using namespace mx::test;

namespace {

class ThirdTab : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
        ui().fillBox->setItemIndex(0);
        QTabBar* tabs = ui().PageControl2->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        Flush();
    }
    TCalibrationPanel& panel() { return *form->findChild<TCalibrationPanel*>(); }
    TCalibrationStore store() { return TCalibrationStore(QString(QCoreApplication::applicationName() + ".INI")); }
    PrinterGeometry geometry() const { return {600, 100, 150, 5100, 6600}; }
    // The rectangle the last document filled, in device pixels.
    QRect filledRect() {
        const TTestDocument& doc = printer->Documents.back();
        return TTestPrinter::FindColor(doc.Pages.front(), Qt::yellow, printer->RenderScale);
    }
    void runJob(bool back) {
        Answers().messageAnswers = {IDYES};
        if (back)
            QTest::mouseClick(ui().BackBtn, Qt::LeftButton);
        else
            QTest::mouseClick(ui().PrintBtn, Qt::LeftButton, {}, QPoint(20, 10));
        Flush();
    }
    void setArea(double l, double r, double t, double b) {
        form->AreaLeftMm = l;
        form->AreaRightMm = r;
        form->AreaTopMm = t;
        form->AreaBottomMm = b;
    }
};

} // namespace

TEST_F(ThirdTab, ControlsTakeOnlyTheFreeSpaceAndTheLineSaysNoCalibration) {
    TCalibrationPanel& p = panel();
    for (QWidget* mine : {static_cast<QWidget*>(p.TestPrintButton()), static_cast<QWidget*>(p.TestSideBox()),
                          static_cast<QWidget*>(p.CalibrateButton())}) {
        EXPECT_EQ(mine->parentWidget(), ui().PrintStrip);
        for (QWidget* theirs : {static_cast<QWidget*>(ui().PrintBtn), static_cast<QWidget*>(ui().PrintSetupBtn),
                                static_cast<QWidget*>(ui().BackBtn), static_cast<QWidget*>(ui().Label10),
                                static_cast<QWidget*>(ui().CopiesED)})
            EXPECT_FALSE(mine->geometry().intersects(theirs->geometry()))
                << mine->objectName().toStdString() << " / " << theirs->objectName().toStdString();
        EXPECT_FALSE(mine->toolTip().isEmpty());
    }
    // The Parts' controls stay where they were.
    EXPECT_EQ(ui().PrintBtn->geometry(), QRect(8, 8, 101, 30));
    EXPECT_EQ(ui().BackBtn->geometry(), QRect(8, 48, 177, 25));
    EXPECT_EQ(ui().CopiesED->geometry(), QRect(112, 80, 65, 21));
    EXPECT_EQ(p.CorrectionLine()->text(), "Keine Kalibrierung");
    EXPECT_GT(p.CorrectionLine()->geometry().top(), ui().Label11->geometry().bottom());
}

TEST_F(ThirdTab, WithoutACalibrationEveryJobIsExactlyTheJobsOwnRectangle) {
    QRandomGenerator random(17);
    for (int i = 0; i < 8; ++i) {
        const double l = random.bounded(200.0), t = random.bounded(270.0);
        setArea(l, l + random.bounded(15.0) + 1, t, t + random.bounded(8.0) + 1);
        const Area area{form->AreaLeftMm, form->AreaRightMm, form->AreaTopMm, form->AreaBottomMm};
        for (bool back : {false, true}) {
            const TRect r = back ? BackRect(area, geometry()) : FrontRect(area, geometry());
            EXPECT_EQ(DeviceRect(area, back, geometry(), panel().Store().Load(printer->Name()).Side(back)), r);
        }
    }
    setArea(20, 50, 30, 40);
    runJob(false);
    // 372, 558, 1081, 794 within the render scale: the rectangle of the job.
    const QRect filled = filledRect();
    EXPECT_NEAR(filled.left(), 372, 10);
    EXPECT_NEAR(filled.right() + 1, 1081, 10);
    EXPECT_EQ(panel().CorrectionLine()->text(), "Keine Kalibrierung");
}

TEST_F(ThirdTab, AStoredCalibrationMovesTheJobsOfThatPrinterAndSideOnly) {
    printer->RenderScale = 1;
    ui().TavelColorComboBox2->setColorValue(clYellow);
    setArea(20, 50, 30, 40);
    // The printer puts the front 1 mm too far right and 0.5 mm too high.
    TPrinterCalibration calibration;
    calibration.Front = TSideCorrection{{1.0, 1.0}, {-0.5, 1.0}};
    store().Save("Testdrucker", calibration);
    store().Save("Anderer", TPrinterCalibration{{}, TSideCorrection{{3.0, 1.0}, {3.0, 1.0}}});
    // The line follows when the tab is shown again.
    QTabBar* tabs = ui().PageControl2->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    EXPECT_EQ(panel().CorrectionLine()->text(), "Kalibrierung: vorn +1,0 / −0,5 mm, hinten keine");

    runJob(false);
    const QRect front = filledRect();
    // 1 mm is 23.6 device pixels at 600 dpi; truncated like every conversion.
    const TRect expected = CorrectedRect(FrontRect({20, 50, 30, 40}, geometry()), geometry(), calibration.Front);
    EXPECT_EQ(front.left(), expected.Left);
    EXPECT_EQ(front.top(), expected.Top);
    EXPECT_EQ(front.right() + 1, expected.Right);
    EXPECT_EQ(front.bottom() + 1, expected.Bottom);
    EXPECT_EQ(expected.Left, 372 - 24);
    EXPECT_EQ(expected.Top, 558 + 11);

    // The back has no calibration of this printer: exactly the back job's.
    runJob(true);
    const QRect back = filledRect();
    const TRect mirrored = BackRect({20, 50, 30, 40}, geometry());
    EXPECT_EQ(back.left(), mirrored.Left);
    EXPECT_EQ(back.right() + 1, mirrored.Right);
}

TEST_F(ThirdTab, TestPrintAsksForABlankSheetAndPrintsOnlyOnOk) {
    QTest::mouseClick(panel().TestPrintButton(), Qt::LeftButton);
    ASSERT_EQ(Answers().messages.size(), 1u);
    EXPECT_EQ(Answers().messages[0].caption, "Testdruck");
    EXPECT_TRUE(Answers().messages[0].text.contains("leeres Blatt oder eine Kopie"));
    EXPECT_FALSE(Answers().messages[0].text.contains("umgedreht"));
    EXPECT_EQ(Answers().messages[0].flags & 0x0F, MB_OKCANCEL);
    EXPECT_TRUE(printer->Documents.empty());

    // For the back the sheet goes in turned over, as for the back job.
    Answers().messageAnswers = {IDOK};
    panel().TestSideBox()->setCurrentIndex(1);
    QTest::mouseClick(panel().TestPrintButton(), Qt::LeftButton);
    EXPECT_TRUE(Answers().messages[1].text.contains("wie zum Vernichten einer Rückseite: umgedreht"));
    ASSERT_EQ(printer->Documents.size(), 1u);
    EXPECT_EQ(printer->Documents[0].PageCount, 1);
    EXPECT_TRUE(printer->Documents[0].Ended);
    EXPECT_EQ(printer->RefreshCalls, 1);
}

TEST_F(ThirdTab, TheCalibrationDialogOpensForTheCurrentPrinterAndTheLineFollowsIt) {
    Answers().onDialog = [&](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Kalibrieren");
        store().Save("Testdrucker", TPrinterCalibration{TSideCorrection{{0.5, 1.0}, {0.0, 1.0}}, {}});
        return QDialog::Accepted;
    };
    QTest::mouseClick(panel().CalibrateButton(), Qt::LeftButton);
    EXPECT_EQ(Answers().dialogs, 1);
    EXPECT_EQ(panel().CorrectionLine()->text(), "Kalibrierung: vorn +0,5 / 0,0 mm, hinten keine");
}

TEST_F(ThirdTab, TwoQueuesOfAPrintSystemKeepTheirOwnCorrection) {
    PrivateCups cups;
    ASSERT_TRUE(cups.Start()) << cups.Error().toStdString();
    ASSERT_TRUE(cups.AddQueue("Zweiter", "A4", 600)) << cups.Error().toStdString();
    store().Save("Zweiter", TPrinterCalibration{TSideCorrection{{2.0, 1.0}, {0.0, 1.0}}, {}});
    ui().TavelColorComboBox2->setColorValue(clBlack);
    setArea(20, 50, 30, 40);
    QRect ink[2];
    TRect wanted[2];
    for (int i = 0; i < 2; ++i) {
        const QString queue = i == 0 ? cups.Queue() : QString("Zweiter");
        SCOPED_TRACE(queue.toStdString());
        ASSERT_EQ(cups.Run("lpadmin", {"-d", queue}), 0);
        SetPrinter(std::make_unique<TQtPrinter>());
        const PrinterGeometry g = ReadPrinterGeometry(*Printer());
        wanted[i] = CorrectedRect(FrontRect({20, 50, 30, 40}, g), g, store().Load(queue).Front);
        runJob(false);
        ASSERT_TRUE(cups.WaitUntilIdle(60000, queue)) << cups.LogTail().toStdString();
        QTemporaryDir dir;
        const QString pdf = dir.filePath("job.pdf");
        ASSERT_TRUE(cups.SpooledPdf(queue, pdf));
        QString error;
        const QRect around(wanted[i].Left + g.OffsetX - 100, wanted[i].Top + g.OffsetY - 100, wanted[i].Width() + 200,
                           wanted[i].Height() + 200);
        const QImage image = RenderWithGhostscript(pdf, 1, g.Dpi, &error, around);
        ASSERT_FALSE(image.isNull()) << error.toStdString();
        ink[i] = InkBounds(image).translated(around.topLeft() - QPoint(g.OffsetX, g.OffsetY));
        EXPECT_NEAR(ink[i].left(), wanted[i].Left, 1);
        EXPECT_NEAR(ink[i].right() + 1, wanted[i].Right, 1);
        EXPECT_NEAR(ink[i].top(), wanted[i].Top, 1);
    }
    // 2 mm further left on the second queue only: 47.2 device pixels at
    // 600 dpi, give or take the truncation.
    EXPECT_NEAR(wanted[0].Left - wanted[1].Left, 2 / MmPerInch * 600, 1);
    EXPECT_NEAR(ink[0].left() - ink[1].left(), 2 / MmPerInch * 600, 1.5);
    SetPrinter(std::make_unique<TTestPrinter>()); // before the private queues go away
}
