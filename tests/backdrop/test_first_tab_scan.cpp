// Scans on the main window's first tab: the sheet scanned in place with
// SANE's test scanner and shown at its true size, the scan saved and opened
// again, a scan's text read and searched, and what the window says when
// there is no scanner, the device fails, or the user cancels.
#include "backdrop/backdrop.h"
#include "backdrop/backdrop_panel.h"
#include "backdrop/image_resolution.h"
#include "controls/num_spin_edit.h"
#include "geometry/sheet_math.h"
#include "platform/paintbox.h"
#include "scan/scan_dialog.h"
#include "scan/scanner.h"
#include "tests/backdrop/backdrop_files.h"
#include "tests/ocr/letter_scan.h"
#include "tests/scan/sane_test_setup.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

using namespace mx;
using namespace mx::test;

namespace {

constexpr int WaitMs = 120000;

// The test scanner's bed is 200 mm square: the sheet is scanned as far as
// it reaches.
constexpr double BedMm = 200;

// The test device pauses 0.2 s after each block it sends: a scan of the
// sheet takes seconds.
const TTestBackendSettings SlowDevice{{"read-delay", "true"}, {"read-delay-duration", "200000"}};

// The letter's head, down to its subject line, scanned at 300 dpi.
const TLetterScan& LetterHead() {
    static const TLetterScan head = [] {
        TLetterScan scan = ScanOfLetter(300);
        const int rows = int(105 / 25.4 * scan.Dpi);
        scan.Image = scan.Image.copy(0, 0, scan.Image.width(), rows);
        scan.Words.removeIf([&](const TTrueWord& w) { return w.PdfBox.bottom() >= rows; });
        return scan;
    }();
    return head;
}

class FirstTabScan : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
    }
    TBackdropPanel& panel() { return *form->findChild<TBackdropPanel*>(); }
    bool waitUntilIdle() {
        return QTest::qWaitFor([&] { return !panel().Busy(); }, WaitMs);
    }
    void open(const QString& file) {
        form->OpenBackdrop(file);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel().Loading(); }, WaitMs));
    }
    QString letterPdf() {
        return WriteFile("brief.pdf", MakePdf({TTestPage{{210, 297}, {{"Steuernummer 12/345", {20, 40}}}, {}}}));
    }
    // The letter's head as a PNG file storing dpi (none when 0).
    QString letterScanFile(double dpi) {
        EXPECT_TRUE(LetterHead().Error.isEmpty()) << LetterHead().Error.toStdString();
        return WriteFile(QStringLiteral("kopf-%1.png").arg(dpi), ImageFile(LetterHead().Image, "png", dpi));
    }
    // Clicks "Scannen..." and answers its dialog with device and dpi; more
    // checks of the dialog may come first.
    void scan(const QString& device, int dpi, const std::function<void(TScanDialog&)>& check = {}) {
        Answers().onDialog = [=](QWidget& w) {
            auto& dialog = dynamic_cast<TScanDialog&>(w);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.Searching(); }, WaitMs));
            if (check) check(dialog);
            dialog.ScannerBox()->setCurrentIndex(dialog.ScannerBox()->findData(device));
            dialog.ResolutionBox()->setCurrentIndex(dialog.ResolutionBox()->findData(dpi));
            QTest::mouseClick(dialog.ScanButton(), Qt::LeftButton);
            return dialog.result();
        };
        QTest::mouseClick(panel().ScanButton(), Qt::LeftButton);
    }
    QImage preview() {
        ui().PaintBox1->Invalidate();
        Flush();
        return ui().PaintBox1->Buffer().copy();
    }
    void typeSearch(const QString& text) { TypeAndEnter(panel().SearchField(), text); }
    // Waits for the status bar to show progress, typing into an edge field
    // meanwhile: the window takes keys while the work goes on.
    void expectProgressInAResponsiveWindow(const std::function<bool()>& working) {
        ui().LeftEd->setFocus();
        ui().LeftEd->selectAll();
        QTest::keyClick(ui().LeftEd, '3');
        EXPECT_DOUBLE_EQ(form->AreaLeftMm, 30);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->ProgressPercent > 0 || !working(); }, WaitMs));
        EXPECT_TRUE(working()) << "the work ended before it showed its progress";
        EXPECT_GT(form->ProgressPercent, 0);
    }
};

} // namespace

// The page the test scanner makes lies at the size its pixels have at the
// resolution it reports; saved, the scan opens again at that size and looks
// the same, and the next scan proposes this one's choice.
TEST_F(FirstTabScan, AScanLiesAtTrueSizeAndIsSavedSoThatItOpensAgainAlike) {
    UseSaneBackends({"test"});
    EXPECT_EQ(panel().ScanButton()->text(), "&Scannen...");
    // The area proposed is the sheet's (the test printer's is US Letter).
    scan("test:1", 150, [](TScanDialog& dialog) {
        EXPECT_TRUE(dialog.AreaLabel()->text().startsWith("215,9 × 279,4 mm ab der Ecke des Scanners"));
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel().HasBackdrop() || !panel().Busy(); }, WaitMs));
    ASSERT_TRUE(panel().HasBackdrop()) << Answers().Errors().join('\n').toStdString();
    const TBackdrop& scanned = *panel().Backdrop();
    const QString name = scanned.FileName();
    EXPECT_TRUE(name.startsWith("Scan ") && name.endsWith(".png")) << name.toStdString();
    const int pixels = int(BedMm / 25.4 * 150);
    // Within what a PNG file's whole dots per metre allow (0.1 per mille).
    const auto expectTrueSize = [&](const TBackdrop& backdrop) {
        const QRectF placement = backdrop.PlacementMm(form->SheetWidthMm, form->SheetHeightMm);
        EXPECT_EQ(placement.topLeft(), QPointF(0, 0));
        EXPECT_NEAR(placement.width(), pixels / 150.0 * MmPerInch, 0.02);
        EXPECT_NEAR(placement.height(), pixels / 150.0 * MmPerInch, 0.02);
        return placement;
    };
    const QRectF trueSize = expectTrueSize(scanned);
    // A page just scanned can be saved where its page field was.
    EXPECT_TRUE(panel().SaveScanButton()->isVisible());
    EXPECT_FALSE(panel().PageField()->isVisible());
    ASSERT_TRUE(waitUntilIdle());
    const QImage shown = preview();

    QTemporaryDir dir;
    const QString saved = dir.filePath("blatt.png");
    Answers().saveFileAnswers = {saved};
    QTest::mouseClick(panel().SaveScanButton(), Qt::LeftButton);
    ASSERT_EQ(Answers().saveFileProposals.size(), 1);
    EXPECT_TRUE(Answers().saveFileProposals[0].endsWith("/" + name));
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<QSizeF> stored = StoredResolution(file.readAll());
    ASSERT_TRUE(stored.has_value());
    EXPECT_NEAR(stored->width(), 150, 0.03);
    EXPECT_EQ(QImage(saved).size(), QSize(pixels, pixels));

    open(saved);
    ASSERT_NE(panel().Backdrop(), &scanned);
    EXPECT_EQ(expectTrueSize(*panel().Backdrop()), trueSize);
    EXPECT_FALSE(panel().SaveScanButton()->isVisible());
    EXPECT_TRUE(panel().PageField()->isVisible());
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(preview(), shown);

    // The next scan proposes the scanner, resolution and colour of this one;
    // cancelled, it changes nothing.
    Answers().onDialog = [](QWidget& w) {
        auto& dialog = dynamic_cast<TScanDialog&>(w);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.Searching(); }, WaitMs));
        EXPECT_EQ(dialog.ScannerBox()->currentData().toString(), "test:1");
        EXPECT_EQ(dialog.ResolutionBox()->currentData().toInt(), 150);
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        return dialog.result();
    };
    const TBackdrop* before = panel().Backdrop();
    QTest::mouseClick(panel().ScanButton(), Qt::LeftButton);
    EXPECT_EQ(Answers().dialogs, 2);
    EXPECT_FALSE(panel().Busy());
    EXPECT_EQ(panel().Backdrop(), before);
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

TEST_F(FirstTabScan, AScanCancelledMidwayLeavesTheBackdropThereWas) {
    UseSaneBackends({"test"}, SlowDevice);
    open(letterPdf());
    const TBackdrop* before = panel().Backdrop();
    scan("test:0", 150);
    ASSERT_TRUE(panel().Scanning());
    EXPECT_EQ(panel().RemoveButton()->text(), "Abbre&chen");
    EXPECT_FALSE(panel().ScanButton()->isEnabled());
    expectProgressInAResponsiveWindow([&] { return panel().Scanning(); });
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(panel().Backdrop(), before);
    EXPECT_EQ(panel().RemoveButton()->text(), "&Entfernen");
    EXPECT_TRUE(panel().ScanButton()->isEnabled());
    EXPECT_EQ(form->ProgressPercent, 0);
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

// The connection lost mid-scan: the window says so in German and keeps the
// backdrop there was.
TEST_F(FirstTabScan, AFailingDeviceIsReportedAndTheBackdropStays) {
    UseSaneBackends({"test"}, {{"read-status-code", "\"SANE_STATUS_IO_ERROR\""}});
    open(letterPdf());
    const TBackdrop* before = panel().Backdrop();
    scan("test:0", 150);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(Answers().Errors(), QStringList({"Der Scan mit „test:0“ ist fehlgeschlagen: die Verbindung zum Scanner "
                                               "ist abgebrochen; prüfen Sie, ob er angeschlossen und eingeschaltet "
                                               "ist."}));
    EXPECT_EQ(panel().Backdrop(), before);
    EXPECT_TRUE(panel().SearchField()->isEnabled());
    EXPECT_EQ(form->ProgressPercent, 0);
}

// Reading a scan is set aside for a file being opened; when the file
// cannot be opened, the scan stays and its reading goes on.
TEST_F(FirstTabScan, AFileThatFailsToOpenLetsTheScansReadingGoOn) {
    open(letterScanFile(300));
    const TBackdrop* before = panel().Backdrop();
    ASSERT_TRUE(panel().Reading());
    open("/nirgends/brief.png");
    ASSERT_EQ(Answers().Errors().size(), 1);
    EXPECT_TRUE(Answers().Errors()[0].contains("„brief.png“"));
    EXPECT_EQ(panel().Backdrop(), before);
    EXPECT_TRUE(panel().Reading());
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(panel().SearchField()->isEnabled());
}

TEST_F(FirstTabScan, WithoutAScannerTheDialogSaysSoAndNothingIsScanned) {
    UseSaneBackends({});
    Answers().onDialog = [](QWidget& w) {
        auto& dialog = dynamic_cast<TScanDialog&>(w);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.Searching(); }, WaitMs));
        EXPECT_EQ(dialog.StatusLabel()->text(), NoScannerMessage() + ".");
        EXPECT_TRUE(dialog.StatusLabel()->text().startsWith("Kein Scanner gefunden. Bitte prüfen Sie"));
        EXPECT_FALSE(dialog.ScanButton()->isEnabled());
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        return dialog.result();
    };
    QTest::mouseClick(panel().ScanButton(), Qt::LeftButton);
    EXPECT_EQ(Answers().dialogs, 1);
    EXPECT_FALSE(panel().Busy());
    EXPECT_FALSE(panel().HasBackdrop());
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

// A scan without a stored resolution is fitted into the sheet, the letter's
// head to the sheet's width: its words lie where they are on the scan at
// that scale.
TEST_F(FirstTabScan, TheTextOfAScanIsReadAndTheSearchPutsTheAreaOverAWord) {
    open(letterScanFile(0));
    ASSERT_TRUE(panel().HasBackdrop());
    EXPECT_TRUE(panel().Reading());
    EXPECT_FALSE(panel().SearchField()->isEnabled());
    EXPECT_EQ(panel().SearchField()->placeholderText(), "Wird gelesen …");
    EXPECT_EQ(panel().RemoveButton()->text(), "Abbre&chen");
    expectProgressInAResponsiveWindow([&] { return panel().Reading(); });
    ASSERT_TRUE(waitUntilIdle());
    ASSERT_TRUE(Answers().Errors().isEmpty()) << Answers().Errors().join('\n').toStdString();
    EXPECT_EQ(form->ProgressPercent, 0);
    ASSERT_TRUE(panel().SearchField()->isEnabled());
    EXPECT_EQ(panel().SearchField()->placeholderText(), "Suchen");

    const auto word = std::find_if(LetterHead().Words.begin(), LetterHead().Words.end(),
                                   [](const TTrueWord& w) { return w.Text == "Kastanienallee"; });
    ASSERT_NE(word, LetterHead().Words.end());
    const double mmPerPixel = form->SheetWidthMm / LetterHead().Image.width();
    const QRectF ink(word->InkBox.topLeft() * mmPerPixel, word->InkBox.size() * mmPerPixel);
    typeSearch("kastanienallee");
    // The word's ink grown by the search's 1 mm, within the recognition's
    // half a millimetre.
    EXPECT_NEAR(form->AreaLeftMm, ink.left() - 1, 0.5);
    EXPECT_NEAR(form->AreaRightMm, ink.right() + 1, 0.5);
    EXPECT_NEAR(form->AreaTopMm, ink.top() - 1, 0.5);
    EXPECT_NEAR(form->AreaBottomMm, ink.bottom() + 1, 0.5);
}

TEST_F(FirstTabScan, ReadingCancelledLeavesTheScanWithoutText) {
    open(letterScanFile(300));
    ASSERT_TRUE(panel().Reading());
    expectProgressInAResponsiveWindow([&] { return panel().Reading(); });
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(panel().HasBackdrop());
    EXPECT_FALSE(panel().SearchField()->isEnabled());
    EXPECT_EQ(panel().RemoveButton()->text(), "&Entfernen");
    EXPECT_EQ(form->ProgressPercent, 0);
    EXPECT_TRUE(Answers().Errors().isEmpty());
    // Not read again of its own accord; the button now takes it away.
    QTest::qWait(300);
    EXPECT_FALSE(panel().Busy());
    QTest::mouseClick(panel().RemoveButton(), Qt::LeftButton);
    EXPECT_FALSE(panel().HasBackdrop());
}

// A scan with nothing to read is no error: a note at the search field.
TEST_F(FirstTabScan, AScanWithoutTextGetsANote) {
    open(WriteFile("leer.png", MakeImage(QSize(850, 1100), QRect(100, 100, 200, 50), "png", 0)));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(panel().HasBackdrop());
    EXPECT_FALSE(panel().SearchField()->isEnabled());
    EXPECT_FALSE(panel().PageField()->isEnabled());
    EXPECT_TRUE(panel().SearchField()->toolTip().startsWith("Kein Text gefunden: "));
    EXPECT_TRUE(Answers().Errors().isEmpty());
    // The next backdrop's search has its own hint again.
    open(letterPdf());
    EXPECT_FALSE(panel().SearchField()->toolTip().contains("Kein Text"));
}

// In a process of its own, where the recognition module is not loaded yet:
// without it the scan is shown all the same and the window says why its
// text cannot be searched.
TEST_F(FirstTabScan, WithoutTheRecognitionModuleTheScanIsShownAndTheReasonGiven) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            InstallFreshAnswerer();
            qputenv("MARBELUX_MODULE_DIR", "/nonexistent");
            open(WriteFile("leer.png", MakeImage(QSize(850, 1100), QRect(100, 100, 200, 50), "png", 0)));
            const bool idle = waitUntilIdle();
            const QStringList errors = Answers().Errors();
            std::fputs(errors.join('\n').toUtf8().constData(), stderr);
            std::exit(idle && panel().HasBackdrop() && !panel().SearchField()->isEnabled() && errors.size() == 1 ? 0
                                                                                                                 : 1);
        },
        testing::ExitedWithCode(0),
        "Marbelux kann den Text des Scans nicht lesen: die Texterkennung \\(libmarbelux-ocr\\.so\\) ist nicht "
        "installiert\\.");
}
