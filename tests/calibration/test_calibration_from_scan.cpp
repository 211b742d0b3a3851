// "Aus Scan kalibrieren" in the "Kalibrieren" dialog: the calibration page
// printed through the job's own path on the 600-dpi test printer, put on
// paper by a printer that shifts and stretches it, scanned by the
// simulator and read from a file or delivered by SANE's pnm device. The
// measurement runs off the window's thread; what the user agrees to is
// stored and puts the next job in place. Scans that are no calibration
// page of the side store nothing, and a measurement can be stopped.
#include "calibration/calibration_dialog.h"
#include "calibration/calibration_page.h"
#include "calibration/sheet_scan_row.h"
#include "print/calibration_store.h"
#include "print/overprint_rect.h"
#include "print/print_job.h"
#include "scan/scan_dialog.h"
#include "tests/scan/sane_test_setup.h"
#include "tests/support/scan_simulator.h"
#include "tests/support/test_printer.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

constexpr int WaitMs = 120000;

// A printer 1.3 mm to the right and 0.9 mm up, 0.3 % wide and 0.3 % short.
const TPrinterModel Shifted{1.3, -0.9, 1.003, 0.997, 0};

class CalibrationFromScan : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // The side's calibration page as the job writes it, printed by `model`
    // and scanned at 300 dpi in grey.
    QImage ScanOfPage(bool back, const TPrinterModel& model) {
        TTestPrinter pagePrinter;
        EXPECT_TRUE(PrintCalibrationPage(pagePrinter, back));
        return SimulateScan({{pagePrinter.Documents.back().Pages.front(), g.Dpi, {g.OffsetX, g.OffsetY}, model}},
                            ScanSetupFor(g));
    }
    QString File(const QImage& scan, const QString& name, double dpi = 300) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(SaveScanFile(scan, dpi, path));
        return path;
    }
    // Runs the dialog through the answerer as the third tab does; `drive`
    // is the user. Nested dialogs (the scanner's) go to `nested`.
    int Run(const std::function<void(TCalibrationDialog&)>& drive, const std::function<int(QWidget&)>& nested = {}) {
        Answers().onDialog = [&](QWidget& widget) {
            auto* dialog = dynamic_cast<TCalibrationDialog*>(&widget);
            if (!dialog) return nested ? nested(widget) : int(QDialog::Rejected);
            dialog->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
            drive(*dialog);
            return dialog->result();
        };
        TCalibrationDialog dialog(printer, "P", store);
        dialog.ProposeScan(proposal);
        return Application()->ExecDialog(dialog);
    }
    static bool Idle(TCalibrationDialog& d) {
        return QTest::qWaitFor([&] { return !d.ScanRow()->Busy(); }, WaitMs);
    }
    static QString LastMessage() { return Answers().messages.empty() ? QString() : Answers().messages.back().text; }

    QTemporaryDir dir;
    TCalibrationStore store{dir.filePath("marbelux.INI")};
    TTestPrinter printer;
    const PrinterGeometry g = ReadPrinterGeometry(printer);
    TScanRequest proposal;
};

void ExpectMeasured(const std::optional<TSideCorrection>& stored, const TPrinterModel& model) {
    ASSERT_TRUE(stored);
    EXPECT_NEAR(stored->X.OffsetMm, model.OffsetXMm, 0.1);
    EXPECT_NEAR(stored->Y.OffsetMm, model.OffsetYMm, 0.1);
    EXPECT_NEAR(stored->X.Scale, model.ScaleX, 0.0005);
    EXPECT_NEAR(stored->Y.Scale, model.ScaleY, 0.0005);
}

} // namespace

TEST_F(CalibrationFromScan, AShiftedPageFromAFileIsStoredAndTheNextJobLandsInPlace) {
    Answers().openFileAnswers = {File(ScanOfPage(false, Shifted), "Kalibrierseite.png")};
    Answers().messageAnswers = {IDYES};
    const int result = Run([&](TCalibrationDialog& d) {
        QTest::mouseClick(d.OpenScanButton(false), Qt::LeftButton);
        // Measured off the window's thread: the click is back at once, the
        // row shows the work and the dialog takes no other command.
        EXPECT_TRUE(d.ScanRow()->Busy());
        EXPECT_TRUE(d.ScanRow()->isVisible());
        EXPECT_FALSE(d.OkButton()->isEnabled());
        EXPECT_FALSE(d.ScanButton(true)->isEnabled());
        ASSERT_TRUE(Idle(d));
        EXPECT_FALSE(d.ScanRow()->isVisible());
        ASSERT_EQ(Answers().messages.size(), 1u);
        const AskedMessage& asked = Answers().messages[0];
        EXPECT_TRUE(asked.text.startsWith("Vorderseite, gemessen an 5 Marken\nVerschiebung: +1,"))
            << asked.text.toStdString();
        EXPECT_TRUE(asked.text.endsWith("\n\nSoll diese Kalibrierung für die Vorderseite gespeichert werden?"));
        EXPECT_EQ(asked.caption, "Aus Scan kalibrieren");
        EXPECT_EQ(asked.flags, MB_YESNO | MB_ICONQUESTION);
        // Stored at once; closing keeps it.
        EXPECT_TRUE(d.StoredText(false).startsWith("Gespeichert: +1,")) << d.StoredText(false).toStdString();
        EXPECT_EQ(d.CancelButton()->text(), "Schließen");
        EXPECT_TRUE(d.ClearButton()->isEnabled());
        QTest::keyClick(&d, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    const TPrinterCalibration stored = store.Load("P");
    ExpectMeasured(stored.Front, Shifted);
    EXPECT_FALSE(stored.Back);

    // The next job, corrected, put on paper by the same printer: its edges
    // land on the area's millimetres.
    TPrintJob job;
    const Area area{30, 180, 50, 240};
    job.Areas = {area};
    job.Correction = stored.Front;
    ASSERT_TRUE(PrintJob(printer, job));
    const QRect filled = TTestPrinter::FindColor(printer.Documents.back().Pages.front(), Qt::yellow, 1);
    const auto lands = [&](int devicePx, int offset, double scale, double shift) {
        return scale * DeviceToMm(devicePx + offset, g.Dpi) + shift;
    };
    EXPECT_NEAR(lands(filled.left(), g.OffsetX, Shifted.ScaleX, Shifted.OffsetXMm), area.Left, 0.1);
    EXPECT_NEAR(lands(filled.right() + 1, g.OffsetX, Shifted.ScaleX, Shifted.OffsetXMm), area.Right, 0.1);
    EXPECT_NEAR(lands(filled.top(), g.OffsetY, Shifted.ScaleY, Shifted.OffsetYMm), area.Top, 0.1);
    EXPECT_NEAR(lands(filled.bottom() + 1, g.OffsetY, Shifted.ScaleY, Shifted.OffsetYMm), area.Bottom, 0.1);
}

TEST_F(CalibrationFromScan, APrintTurnedOnThePaperIsWarnedOfAndNoStoresNothing) {
    Answers().openFileAnswers = {File(ScanOfPage(true, {-0.7, 0.5, 1, 1, 0.4}), "Rueckseite.png")};
    Answers().messageAnswers = {IDNO};
    Run([&](TCalibrationDialog& d) {
        QTest::mouseClick(d.OpenScanButton(true), Qt::LeftButton);
        ASSERT_TRUE(Idle(d));
        ASSERT_EQ(Answers().messages.size(), 1u);
        const AskedMessage& asked = Answers().messages[0];
        EXPECT_TRUE(asked.text.startsWith("Rückseite, gemessen an 5 Marken")) << asked.text.toStdString();
        EXPECT_TRUE(asked.text.contains("\nDer Druck liegt um 0,4")) << asked.text.toStdString();
        EXPECT_TRUE(asked.text.endsWith("Soll diese Kalibrierung für die Rückseite gespeichert werden?"));
        // A warning, and "Nein" proposed.
        EXPECT_EQ(asked.flags, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        EXPECT_EQ(d.CancelButton()->text(), "Abbrechen");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(store.Exists("P"));
}

TEST_F(CalibrationFromScan, ScansThatAreNoCalibrationPageOfTheSideStoreNothing) {
    QFile notes(dir.filePath("Notizen.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("Kein Bild\n");
    notes.close();
    QImage small(200, 280, QImage::Format_Grayscale8);
    small.fill(235);
    const struct {
        QString file;
        bool back;
        QString message; // empty: any
    } cases[] = {
        {File(HostileScan(THostile::Photo, 3), "Foto.png"), false, {}},
        {File(HostileScan(THostile::Blank), "leer.png"), false, "Im Scan ist kein Blatt zu erkennen"},
        // The front's page where the back is being calibrated.
        {File(ScanOfPage(false, {}), "Vorderseite.png"), true,
         "Im Scan ist die Kalibrierseite der Vorderseite zu sehen, kalibriert wird die Rückseite. Scannen Sie die "
         "Kalibrierseite der Rückseite."},
        {File(small, "ohne.png", 0), false,
         "Der Scan „ohne.png“ nennt keine Auflösung. Scannen Sie das Blatt mit Marbelux oder speichern Sie den Scan "
         "als PNG, JPEG oder TIFF mit seiner Auflösung."},
        {File(small, "grob.png", 72), false,
         "Der Scan „grob.png“ hat eine Auflösung von 72 × 72 dpi. Ausgewertet werden Scans mit 100 bis 1200 dpi, quer "
         "und längs gleich."},
        {notes.fileName(), false,
         "Die Datei „Notizen.txt“ ist kein Scan, den Marbelux lesen kann (PNG, JPEG, TIFF oder BMP)"},
        {dir.filePath("fehlt.png"), false, "Die Datei „fehlt.png“ gibt es nicht."},
    };
    Run([&](TCalibrationDialog& d) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.file.toStdString());
            Answers().messages.clear();
            Answers().openFileAnswers = {c.file};
            QTest::mouseClick(d.OpenScanButton(c.back), Qt::LeftButton);
            ASSERT_TRUE(Idle(d));
            ASSERT_EQ(Answers().messages.size(), 1u);
            const AskedMessage& told = Answers().messages[0];
            EXPECT_EQ(told.flags, MB_OK | MB_ICONWARNING);
            EXPECT_EQ(told.caption, "Aus Scan kalibrieren");
            if (c.message.isEmpty())
                EXPECT_FALSE(told.text.isEmpty());
            else
                EXPECT_TRUE(told.text.startsWith(c.message)) << told.text.toStdString();
            EXPECT_FALSE(store.Exists("P"));
            EXPECT_TRUE(d.OpenScanButton(c.back)->isEnabled());
        }
        // Cancelling the choice of a file does nothing.
        Answers().messages.clear();
        Answers().openFileAnswers = {QString()};
        QTest::mouseClick(d.OpenScanButton(false), Qt::LeftButton);
        EXPECT_FALSE(d.ScanRow()->Busy());
        EXPECT_TRUE(Answers().messages.empty());
        d.reject();
    });
    EXPECT_FALSE(store.Exists("P"));
}

TEST_F(CalibrationFromScan, AMeasurementCanBeStoppedAndEscapeStopsBeforeItCloses) {
    const QString file = File(ScanOfPage(false, Shifted), "Kalibrierseite.png");
    const int result = Run([&](TCalibrationDialog& d) {
        Answers().openFileAnswers = {file};
        QTest::mouseClick(d.OpenScanButton(false), Qt::LeftButton);
        ASSERT_TRUE(d.ScanRow()->Busy());
        QTest::mouseClick(d.ScanRow()->StopButton(), Qt::LeftButton);
        // Free at once; the measurement's outcome, when it comes, is dropped.
        EXPECT_FALSE(d.ScanRow()->Busy());
        EXPECT_FALSE(d.ScanRow()->isVisible());
        EXPECT_TRUE(d.OkButton()->isEnabled());
        QTest::qWait(3000);
        EXPECT_TRUE(Answers().messages.empty()) << LastMessage().toStdString();

        Answers().openFileAnswers = {file};
        QTest::mouseClick(d.OpenScanButton(false), Qt::LeftButton);
        ASSERT_TRUE(d.ScanRow()->Busy());
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.ScanRow()->Busy());
        EXPECT_EQ(d.result(), 0);
        EXPECT_TRUE(d.isVisible());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(Answers().messages.empty()) << LastMessage().toStdString();
    EXPECT_FALSE(store.Exists("P"));
}

// The scanner's way: the "Scannen" dialog proposes the settings last used
// and the printer's sheet as the area; SANE's pnm device delivers the scan.
TEST_F(CalibrationFromScan, TheScannersPageIsMeasuredAndStored) {
    UseSaneBackends({"pnm"});
    const QString file = dir.filePath("page.pgm");
    ASSERT_TRUE(ScanOfPage(false, Shifted).convertToFormat(QImage::Format_Grayscale8).save(file, "PGM"));
    proposal = TestScan(300, TScanColour::Grey, {}, {{"filename", file}});
    proposal.Device = "pnm:0";
    Answers().messageAnswers = {IDYES};
    TScanRequest used;
    Run(
        [&](TCalibrationDialog& d) {
            QTest::mouseClick(d.ScanButton(false), Qt::LeftButton);
            ASSERT_TRUE(Idle(d));
            ASSERT_EQ(Answers().messages.size(), 1u) << LastMessage().toStdString();
            EXPECT_TRUE(LastMessage().startsWith("Vorderseite, gemessen an 5 Marken")) << LastMessage().toStdString();
            used = d.LastScanRequest();
            d.OkClick();
        },
        [&](QWidget& widget) {
            auto& scanDialog = dynamic_cast<TScanDialog&>(widget);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !scanDialog.Searching(); }, WaitMs));
            EXPECT_TRUE(scanDialog.AreaLabel()->text().startsWith("215,9 × 279,4 mm ab der Ecke des Scanners"));
            EXPECT_EQ(scanDialog.Request().Device, "pnm:0");
            QTest::mouseClick(scanDialog.ScanButton(), Qt::LeftButton);
            return scanDialog.result();
        });
    ExpectMeasured(store.Load("P").Front, Shifted);
    // Proposed the next time: the same device and its settings.
    EXPECT_EQ(used.Device, "pnm:0");
    EXPECT_EQ(used.DeviceOptions, proposal.DeviceOptions);
}

TEST_F(CalibrationFromScan, AScannerThatDeliversNoSheetStoresNothing) {
    UseSaneBackends({"test"});
    proposal = TestScan(150, TScanColour::Grey, {});
    Run(
        [&](TCalibrationDialog& d) {
            QTest::mouseClick(d.ScanButton(true), Qt::LeftButton);
            ASSERT_TRUE(Idle(d));
            ASSERT_EQ(Answers().messages.size(), 1u);
            EXPECT_EQ(Answers().messages[0].flags, MB_OK | MB_ICONWARNING);
            EXPECT_TRUE(LastMessage().startsWith("Im Scan ist kein Blatt zu erkennen")) << LastMessage().toStdString();
            d.reject();
        },
        [&](QWidget& widget) {
            auto& scanDialog = dynamic_cast<TScanDialog&>(widget);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !scanDialog.Searching(); }, WaitMs));
            scanDialog.accept();
            return scanDialog.result();
        });
    EXPECT_FALSE(store.Exists("P"));
}
