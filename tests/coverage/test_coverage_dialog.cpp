// "Prüfen..." on the third tab and its dialog: the window's job printed on
// the test printer, put on paper over a letter by a printer with a known
// shift, scanned by the simulator and opened as a file; the strip the
// shift leaves uncovered is named, the words still readable inside an area
// too, and without the text recognition the check still reports. Scans
// without a sheet are said, and every step can be stopped.
#include "calibration/sheet_scan_row.h"
#include "coverage/coverage_dialog.h"
#include "coverage/coverage_panel.h"
#include "coverage/coverage_view.h"
#include "print/fill_style.h"
#include "print/overprint_rect.h"
#include "print/print_job.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/scan_simulator.h"
#include "tests/support/test_printer.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

constexpr int WaitMs = 300000;

bool Idle(TCoverageDialog& d) {
    return QTest::qWaitFor([&] { return !d.ScanRow()->Busy(); }, WaitMs);
}

// The part of a printed page around its fill, as one print of the sheet:
// the rest of the page is white and would only slow the scan down.
TPrintLayer FillOfPage(const QImage& page, const QColor& fill, const PrinterGeometry& g, const TPrinterModel& model) {
    const QRect filled = TTestPrinter::FindColor(page, fill, 1);
    EXPECT_FALSE(filled.isEmpty());
    const QRect around = filled.adjusted(-16, -16, 16, 16) & page.rect();
    return {page.copy(around), g.Dpi, {g.OffsetX + around.left(), g.OffsetY + around.top()}, model};
}

// A sheet of A5 with a letter on it and a job printed over it in blue,
// scanned in colour: small, so that a dialog test scans quickly.
class CoverageDialog : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // The job's own page with `filled` painted, printed by `model` over
    // the letter, scanned and written to a file.
    QString ScanFile(const Area& filled, const TPrinterModel& model) {
        TTestPrinter jobPrinter(Geometry());
        TPrintJob print;
        print.Areas = {filled};
        print.Foreground = Blue;
        EXPECT_TRUE(PrintJob(jobPrinter, print));
        const QImage& page = jobPrinter.Documents.back().Pages.front();
        const QString path = dir.filePath("Scan.png");
        EXPECT_TRUE(SaveScanFile(SimulateScan({{RenderTextPage(PaperMm(g), 300), 300, {0, 0}, {}},
                                               FillOfPage(page, ToQColor(Blue), g, model)},
                                              Setup()),
                                 300, path));
        return path;
    }
    static TTestGeometry Geometry() {
        TTestGeometry t;
        t.PhysicalWidth = MmToDevice(148, 600);
        t.PhysicalHeight = MmToDevice(210, 600);
        t.OffsetX = t.OffsetY = 100;
        return t;
    }
    TScanSetup Setup() const {
        TScanSetup setup = ScanSetupFor(g);
        setup.BedMm = PaperMm(g) + QSizeF(14, 16);
        setup.SheetCentreMm = {setup.BedMm.width() / 2, setup.BedMm.height() / 2};
        setup.Colour = true;
        return setup;
    }
    TCoverageJob Job(const Area& area) const { return {PaperMm(g), false, {area}, {bsSolid, clBlack, clWhite, g.Dpi}}; }

    static constexpr TColor Blue = RGB(30, 60, 170);
    QTemporaryDir dir;
    const PrinterGeometry g = [] {
        TTestPrinter p(Geometry());
        return ReadPrinterGeometry(p);
    }();
};

class CoverageOnTheThirdTab : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
        ASSERT_TRUE(dir.isValid());
        ui().fillBox->setItemIndex(0);
        QTabBar* tabs = ui().PageControl2->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        Flush();
    }
    TCoveragePanel& panel() { return *form->findChild<TCoveragePanel*>(); }
    void setArea(const Area& a) {
        form->AreaLeftMm = a.Left;
        form->AreaRightMm = a.Right;
        form->AreaTopMm = a.Top;
        form->AreaBottomMm = a.Bottom;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(CoverageOnTheThirdTab, ControlsTakeTheFreeSpaceAndTheCheckTakesTheWindowsJob) {
    TCoveragePanel& p = panel();
    for (QWidget* mine : {static_cast<QWidget*>(p.CheckButton()), static_cast<QWidget*>(p.SideBox())}) {
        EXPECT_EQ(mine->parentWidget(), ui().PrintStrip);
        EXPECT_TRUE(ui().PrintStrip->rect().contains(mine->geometry()));
        for (QWidget* theirs : ui().PrintStrip->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (theirs == mine || !theirs->isVisible()) continue;
            EXPECT_FALSE(mine->geometry().intersects(theirs->geometry()))
                << mine->objectName().toStdString() << " / " << theirs->objectName().toStdString();
        }
        EXPECT_FALSE(mine->toolTip().isEmpty());
    }
    EXPECT_EQ(p.CheckButton()->text(), "&Prüfen...");

    const Area area{40, 120, 60, 90};
    setArea(area);
    ui().fillBox->setItemIndex(2);
    ui().TavelColorComboBox2->setColorValue(RGB(160, 0, 0));
    ui().TavelColorComboBox1->setColorValue(clBtnFace);
    p.SideBox()->setCurrentIndex(1);
    const TCoverageJob job = p.CoverageJob();
    EXPECT_NEAR(job.PaperMm.width(), 215.9, 0.01);
    EXPECT_NEAR(job.PaperMm.height(), 279.4, 0.01);
    EXPECT_TRUE(job.Back);
    ASSERT_EQ(job.Areas.size(), 1u);
    EXPECT_EQ(job.Areas[0].Left, area.Left);
    EXPECT_EQ(job.Areas[0].Bottom, area.Bottom);
    EXPECT_EQ(job.Fill.Style, *FillPatternForIndex(2));
    EXPECT_EQ(job.Fill.Foreground, RGB(160, 0, 0));
    // A system colour as the printer gets it: plain RGB.
    EXPECT_EQ(job.Fill.Background, ColorToRGB(clBtnFace));
    EXPECT_EQ(job.Fill.Background >> 24, 0u);
    EXPECT_EQ(job.Fill.PrinterDpi, 600);
}

// Printed on a printer that puts everything 1 mm to the right: the strip
// left of the fill is named in the dialog "Prüfen..." opens.
TEST_F(CoverageOnTheThirdTab, AOneMillimetreShiftIsNamed) {
    printer->RenderScale = 1;
    const Area area{40, 120, 60, 90};
    setArea(area);
    Answers().messageAnswers = {IDYES};
    QTest::mouseClick(ui().PrintBtn, Qt::LeftButton, {}, QPoint(20, 10));
    Flush();
    ASSERT_EQ(printer->Documents.size(), 1u);
    const PrinterGeometry g = ReadPrinterGeometry(*printer);
    TScanSetup setup = ScanSetupFor(g);
    setup.Colour = true;
    const QImage scan = SimulateScan({{RenderTextPage(PaperMm(g), 300), 300, {0, 0}, {}},
                                      FillOfPage(printer->Documents.back().Pages.front(), Qt::yellow, g, {1.0, 0})},
                                     setup);
    const QString file = dir.filePath("Blatt.png");
    ASSERT_TRUE(SaveScanFile(scan, 300, file));
    printer->Documents.clear();

    Answers().openFileAnswers = {file};
    QStringList lines;
    Answers().onDialog = [&](QWidget& widget) {
        auto& d = dynamic_cast<TCoverageDialog&>(widget);
        d.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
        EXPECT_EQ(d.windowTitle(), "Bedeckung prüfen");
        EXPECT_FALSE(d.View()->HasScan());
        QTest::mouseClick(d.ReadTextBox(), Qt::LeftButton);
        EXPECT_FALSE(d.ReadTextBox()->isChecked());
        QTest::mouseClick(d.OpenButton(), Qt::LeftButton);
        // Checked off the window's thread.
        EXPECT_TRUE(d.ScanRow()->Busy());
        EXPECT_FALSE(d.OpenButton()->isEnabled());
        EXPECT_TRUE(Idle(d));
        EXPECT_TRUE(d.View()->HasScan());
        EXPECT_TRUE(d.OpenButton()->isEnabled());
        lines = d.ResultLines();
        QTest::keyClick(&d, Qt::Key_Escape);
        return d.result();
    };
    QTest::mouseClick(panel().CheckButton(), Qt::LeftButton);
    EXPECT_EQ(Answers().dialogs, 1);
    EXPECT_EQ(Answers().messages.size(), 1u); // the print job's question only
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    const QRegularExpressionMatch m =
        QRegularExpression("^Bereich: [0-9]+,[0-9] % bedeckt – links ([0-9],[0-9]) mm nicht bedeckt$").match(lines[0]);
    ASSERT_TRUE(m.hasMatch()) << lines[0].toStdString();
    // The fill's edge lies on its device pixel, 1 mm further right.
    const double strip = DeviceToMm(MmToDevice(area.Left, g.Dpi), g.Dpi) + 1.0 - area.Left;
    EXPECT_NEAR(QLocale().toDouble(m.captured(1)), strip, 0.2);
    // Nothing printed.
    EXPECT_TRUE(printer->Documents.empty());
}

// Two areas, the first printed, the second not: the words of the second
// are still readable, and named under it.
TEST_F(CoverageDialog, WordsStillReadableInsideAnAreaAreNamed) {
    const Area printed{20, 128, 30, 50}, left{20, 128, 80, 100};
    Answers().openFileAnswers = {ScanFile(printed, {})};
    TCoverageJob job = Job(printed);
    job.Areas.push_back(left);
    TCoverageDialog dialog(job, {});
    ASSERT_TRUE(dialog.ReadTextBox()->isChecked());
    dialog.OpenClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.ResultLines().isEmpty(); }, WaitMs));
    // Then the text is read, in the same row.
    EXPECT_TRUE(dialog.ScanRow()->Busy());
    EXPECT_EQ(dialog.ScanRow()->StatusLabel()->text(), "Der Text des Scans wird gelesen …");
    ASSERT_TRUE(Idle(dialog));
    const QStringList lines = dialog.ResultLines();
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("Bereich 1: vollständig bedeckt (")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Bereich 2: nicht bedeckt (")) << lines[1].toStdString();
    // Words of the letter's lines.
    EXPECT_TRUE(lines[2].startsWith("Text noch lesbar: „")) << lines[2].toStdString();
    EXPECT_TRUE(QRegularExpression("„(Kontonummer|Betrag|Rechnung|Datum|Kunde|Anschrift|Zahlung|IBAN)“")
                    .match(lines[2])
                    .hasMatch())
        << lines[2].toStdString();
    EXPECT_TRUE(Answers().messages.empty());
}

// Each case in a process of its own, where the text recognition has not
// been looked for yet.
TEST_F(CoverageDialog, WithoutTheTextRecognitionTheCheckStillReports) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Area area{20, 128, 30, 70};
    const QString file = ScanFile(area, {});
    EXPECT_EXIT(
        {
            qputenv("MARBELUX_MODULE_DIR", "/nonexistent");
            // The child hears no test events: it answers with its own.
            auto answerer = std::make_unique<ScriptedAnswerer>();
            ScriptedAnswerer& answers = *answerer;
            answers.openFileAnswers = {file};
            Application()->SetAnswerer(std::move(answerer));
            TCoverageDialog dialog(Job(area), {});
            dialog.OpenClick();
            if (!QTest::qWaitFor([&] { return dialog.ResultLines().size() == 2 && !dialog.ScanRow()->Busy(); }, WaitMs))
                std::_Exit(2);
            std::fputs(dialog.ResultLines().join('\n').toUtf8().constData(), stderr);
            // Out at once: the application is not taken down, so there is
            // nothing a leak check at the end could tell.
            std::_Exit(answers.messages.empty() ? 0 : 1);
        },
        testing::ExitedWithCode(0),
        "Bereich: vollständig bedeckt \\([0-9]+,[0-9] %\\)\nOb in einem Bereich noch Text zu lesen ist, wurde nicht "
        "geprüft. "
        "Marbelux kann den Text des Scans nicht lesen: die Texterkennung \\(libmarbelux-ocr\\.so\\) ist nicht "
        "installiert\\.");
}

TEST_F(CoverageDialog, AScanWithoutASheetIsSaidAndEveryStepCanBeStopped) {
    const Area area{20, 128, 30, 70};
    const QString blank = dir.filePath("leer.png");
    ASSERT_TRUE(SaveScanFile(HostileScan(THostile::Blank), 300, blank));
    const QString file = ScanFile(area, {});
    TCoverageDialog dialog(Job(area), {});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    Answers().openFileAnswers = {blank};
    QTest::mouseClick(dialog.OpenButton(), Qt::LeftButton);
    ASSERT_TRUE(Idle(dialog));
    ASSERT_EQ(Answers().messages.size(), 1u);
    EXPECT_TRUE(Answers().messages[0].text.startsWith("Im Scan ist kein Blatt zu erkennen"));
    EXPECT_EQ(Answers().messages[0].caption, "Bedeckung prüfen");
    EXPECT_EQ(Answers().messages[0].flags, MB_OK | MB_ICONWARNING);
    EXPECT_TRUE(dialog.ResultLines().isEmpty());
    EXPECT_FALSE(dialog.View()->HasScan());

    // The check stopped: nothing comes of it.
    Answers().messages.clear();
    Answers().openFileAnswers = {file};
    QTest::mouseClick(dialog.OpenButton(), Qt::LeftButton);
    ASSERT_TRUE(dialog.ScanRow()->Busy());
    QTest::mouseClick(dialog.ScanRow()->StopButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.ScanRow()->Busy());
    QTest::qWait(3000);
    EXPECT_TRUE(dialog.ResultLines().isEmpty());
    EXPECT_TRUE(Answers().messages.empty());

    // The reading of the text stopped with Escape: the check stands, a line
    // says the text was not looked at; the next Escape closes.
    Answers().openFileAnswers = {file};
    QTest::mouseClick(dialog.OpenButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.ResultLines().isEmpty(); }, WaitMs));
    ASSERT_TRUE(dialog.ScanRow()->Busy());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.ScanRow()->Busy());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.ResultLines().last(), "Das Lesen des Textes wurde angehalten; ob in einem Bereich noch Text zu "
                                           "lesen ist, wurde nicht geprüft.");
    EXPECT_TRUE(dialog.ResultLines().first().startsWith("Bereich: vollständig bedeckt"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(Answers().messages.empty());
}
