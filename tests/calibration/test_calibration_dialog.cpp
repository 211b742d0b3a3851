// The "Kalibrieren" dialog: driven through the answerer, with real key and
// mouse events where it matters.
#include "calibration/axis_fit.h"
#include "calibration/calibration_dialog.h"
#include "controls/num_spin_edit.h"
#include "platform/profile_file.h"
#include "print/calibration_store.h"
#include "print/overprint_rect.h"
#include "tests/support/test_printer.h"
#include "tests/support/test_support.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

const TSideCorrection StoredBack{{-1.5, 1.0}, {0.5, 1.0}};

class CalibrationDialog : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // What a ruler shows for a cross on a printer with this deviation,
    // to the tenth of a millimetre.
    static QString Measured(double nominal, const TAxisCorrection& d) {
        return QLocale().toString(d.Scale * nominal + d.OffsetMm, 'f', 1);
    }
    // Types the four measurements of a side with real key events.
    void TypeSide(TCalibrationDialog& dialog, bool back, const TSideCorrection& d) {
        const auto crosses = CalibrationCrosses(ReadPrinterGeometry(printer), back);
        for (int i = 0; i < 2; ++i) {
            QTest::keyClicks(dialog.Field(back, i, TAxis::Horizontal), Measured(crosses[i].XMm, d.X));
            QTest::keyClicks(dialog.Field(back, i, TAxis::Vertical), Measured(crosses[i].YMm, d.Y));
        }
    }
    static void Fill(TCalibrationDialog& dialog, bool back, const QStringList& texts) {
        for (int i = 0; i < 4; ++i)
            dialog.Field(back, i / 2, i % 2 ? TAxis::Vertical : TAxis::Horizontal)->setText(texts.value(i));
    }
    // The message the dialog showed last, if any.
    static QString LastMessage() { return Answers().messages.empty() ? QString() : Answers().messages.back().text; }

    QTemporaryDir dir;
    TCalibrationStore store{dir.filePath("marbelux.INI")};
    TTestPrinter printer;
};

void ExpectNear(const TAxisCorrection& got, const TAxisCorrection& want) {
    // Measurements to a tenth of a millimetre over some 170 mm.
    EXPECT_NEAR(got.Scale, want.Scale, 0.0012);
    EXPECT_NEAR(got.OffsetMm, want.OffsetMm, 0.15);
}

} // namespace

TEST_F(CalibrationDialog, TypedMeasurementsAndAClickOnOkStoreTheFront) {
    store.Save("MarbeluxTest", {std::nullopt, StoredBack});
    const TSideCorrection deviation{{1.0, 1.002}, {-0.5, 0.997}};
    Answers().onDialog = [&](QWidget& widget) {
        auto& dialog = static_cast<TCalibrationDialog&>(widget);
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.windowTitle(), "Kalibrieren");
        TypeSide(dialog, false, deviation);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    TCalibrationDialog dialog(printer, "MarbeluxTest", store);
    EXPECT_EQ(Application()->ExecDialog(dialog), QDialog::Accepted);
    EXPECT_TRUE(Answers().messages.empty()) << LastMessage().toStdString();
    const TPrinterCalibration stored = store.Load("MarbeluxTest");
    ASSERT_TRUE(stored.Front);
    ExpectNear(stored.Front->X, deviation.X);
    ExpectNear(stored.Front->Y, deviation.Y);
    EXPECT_EQ(stored.Back, StoredBack); // the side left empty keeps what it had
}

TEST_F(CalibrationDialog, EnterInAFieldStoresTheBackMeasuredOnTheBackItself) {
    // The back lies 2 mm too far left as the user sees it, and 0.4 % short.
    const TSideCorrection deviation{{-2.0, 0.996}, {0.8, 1.0}};
    Answers().onDialog = [&](QWidget& widget) {
        auto& dialog = static_cast<TCalibrationDialog&>(widget);
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        TypeSide(dialog, true, deviation);
        QTest::keyClick(dialog.Field(true, 1, TAxis::Vertical), Qt::Key_Return);
        return dialog.result();
    };
    TCalibrationDialog dialog(printer, "P", store);
    EXPECT_EQ(Application()->ExecDialog(dialog), QDialog::Accepted);
    const TPrinterCalibration stored = store.Load("P");
    EXPECT_FALSE(stored.Front);
    ASSERT_TRUE(stored.Back);
    ExpectNear(stored.Back->X, deviation.X);
    ExpectNear(stored.Back->Y, deviation.Y);
}

// The crosses lie exactly where their numbers say: a printer measured at
// +1,0 / −0,5 mm without stretch is stored as exactly that.
TEST_F(CalibrationDialog, AMeasuredShiftIsStoredExactly) {
    TCalibrationDialog dialog(printer, "P", store);
    for (const bool back : {false, true}) TypeSide(dialog, back, {{1.0, 1.0}, {-0.5, 1.0}});
    dialog.OkClick();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << LastMessage().toStdString();
    const TPrinterCalibration stored = store.Load("P");
    for (const auto& side : {stored.Front, stored.Back}) {
        ASSERT_TRUE(side);
        EXPECT_EQ(side->X, (TAxisCorrection{1.0, 1.0}));
        EXPECT_EQ(side->Y, (TAxisCorrection{-0.5, 1.0}));
    }
}

TEST_F(CalibrationDialog, IncompleteOrImpossibleValuesKeepItOpenAndStoreNothing) {
    TCalibrationDialog dialog(printer, "P", store);
    const auto crosses = CalibrationCrosses(ReadPrinterGeometry(printer), false);
    const QString x1 = QLocale().toString(crosses[0].XMm, 'f', 1), y1 = QLocale().toString(crosses[0].YMm, 'f', 1);
    const QString y2 = QLocale().toString(crosses[1].YMm, 'f', 1);
    const struct {
        QStringList front, back;
        QString message;
    } cases[] = {
        {{}, {}, "Bitte tragen Sie die gemessenen Werte ein – oder schließen Sie das Fenster mit „Abbrechen“."},
        {{x1, y1, "100,0"},
         {},
         "Vorderseite: Bitte tragen Sie für beide Marken den Abstand vom linken und vom oberen Rand ein."},
        // The second cross 1.8 % too far from the first.
        {{x1, y1, QLocale().toString(crosses[0].XMm + (crosses[1].XMm - crosses[0].XMm) * 1.018, 'f', 2), y2},
         {},
         "Vorderseite: Die gemessenen Werte ergeben eine Verzerrung von 1,8 % in der Breite. Mehr als 1 % kann nicht "
         "ausgeglichen werden – bitte messen Sie noch einmal nach."},
        {{}, {"1,2,3", "1", "2", "3"}, "Rückseite: „1,2,3“ ist keine Zahl."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        Fill(dialog, false, c.front);
        Fill(dialog, true, c.back);
        Answers().messages.clear();
        dialog.OkClick();
        ASSERT_EQ(Answers().messages.size(), 1u);
        EXPECT_EQ(Answers().messages[0].text, c.message);
        EXPECT_EQ(Answers().messages[0].caption, "Kalibrieren");
        EXPECT_EQ(dialog.result(), 0); // still open
        EXPECT_FALSE(store.Exists("P"));
    }
}

TEST_F(CalibrationDialog, CancelChangesNothingAndClearAsksFirst) {
    store.Save("P", {TSideCorrection{{1.0, 1.002}, {-0.5, 0.998}}, StoredBack});
    const TPrinterCalibration before = store.Load("P");
    {
        TCalibrationDialog dialog(printer, "P", store);
        EXPECT_EQ(dialog.StoredText(false), "Gespeichert: +1,0 / −0,5 mm, Maßstab 100,2 / 99,8 %");
        EXPECT_EQ(dialog.StoredText(true), "Gespeichert: −1,5 / +0,5 mm");
        Fill(dialog, false, {"30", "30", "190", "250"});
        dialog.CancelButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(store.Load("P"), before);

        ASSERT_TRUE(dialog.ClearButton()->isEnabled());
        Answers().messageAnswers = {IDNO};
        dialog.ClearButton()->click();
        EXPECT_EQ(Answers().messages.back().text, "Wollen Sie die Kalibrierung für den Drucker „P“ wirklich löschen?");
        EXPECT_EQ(store.Load("P"), before);
        Answers().messageAnswers = {IDYES};
        dialog.ClearButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(store.Exists("P"));
    }
    TCalibrationDialog empty(printer, "P", store);
    EXPECT_FALSE(empty.ClearButton()->isEnabled());
    EXPECT_EQ(empty.StoredText(false), "Gespeichert: keine");
}

TEST_F(CalibrationDialog, PrintButtonsPrintEachSidesPageAndShowNominals) {
    TCalibrationDialog dialog(printer, "P", store);
    dialog.PrintButton(false)->click();
    dialog.PrintButton(true)->click();
    ASSERT_EQ(printer.Documents.size(), 2u);
    EXPECT_EQ(printer.Documents[0].Title, "Kalibrierseite");
    EXPECT_EQ(printer.Documents[1].Title, "Kalibrierseite Rückseite");
    EXPECT_TRUE(printer.Documents[1].Ended);

    // Beside every field the millimetres its cross should measure.
    QStringList nominals;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text().startsWith("mm (Soll ")) nominals.append(label->text());
    const auto back = CalibrationCrosses(ReadPrinterGeometry(printer), true);
    EXPECT_EQ(nominals.size(), 8);
    EXPECT_TRUE(nominals.contains("mm (Soll " + QLocale().toString(back[0].XMm, 'f', 1) + ")"));

    printer.FailAtPage = 1;
    dialog.PrintButton(false)->click();
    EXPECT_EQ(Answers().Errors(), QStringList{"Seite 1 kann nicht gedruckt werden."});
    EXPECT_FALSE(printer.Printing());
}

TEST_F(CalibrationDialog, UnwritableSettingsFileShowsTheErrorAndStaysOpen) {
    TCalibrationDialog dialog(printer, "P", store);
    const auto crosses = CalibrationCrosses(ReadPrinterGeometry(printer), false);
    QStringList exact;
    for (const auto& c : crosses) exact << QLocale().toString(c.XMm, 'f', 2) << QLocale().toString(c.YMm, 'f', 2);
    Fill(dialog, false, exact);
    TIniFile::SetReplaceHookForTests([](const QString&) { return false; });
    dialog.OkClick();
    TIniFile::SetReplaceHookForTests({});
    ASSERT_EQ(Answers().Errors().size(), 1);
    EXPECT_TRUE(Answers().Errors()[0].startsWith("nach ")) << Answers().Errors()[0].toStdString();
    EXPECT_EQ(dialog.result(), 0);
    dialog.OkClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(store.Load("P").Front);
}
