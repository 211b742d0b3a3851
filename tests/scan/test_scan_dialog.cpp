// The "Scannen" dialog, run through the application's answerer as the
// window runs it: the scanners found, the choice it returns, and what it
// says when there is no scanner.
#include "platform/application.h"
#include "scan/scan_dialog.h"
#include "scan/scanner.h"
#include "tests/scan/sane_test_setup.h"
#include "tests/support/test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;
using mx::test::Answers;
using mx::test::UseSaneBackends;

namespace {

constexpr int WaitMs = 60000;

TScanRequest Sheet(double widthMm, double heightMm) {
    TScanRequest request;
    request.AreaMm = {widthMm, heightMm};
    return request;
}

bool SearchEnds(TScanDialog& dialog) {
    return QTest::qWaitFor([&] { return !dialog.Searching(); }, WaitMs);
}

QStringList Entries(const QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) entries << box->itemData(i).toString();
    return entries;
}

} // namespace

TEST(ScanDialog, ChoiceOfScannerResolutionAndColourIsReturned) {
    UseSaneBackends({"test", "pnm"});
    TScanDialog dialog(Sheet(210, 297));
    Answers().onDialog = [](QWidget& w) {
        auto& d = dynamic_cast<TScanDialog&>(w);
        EXPECT_TRUE(SearchEnds(d));
        EXPECT_EQ(d.windowTitle(), "Scannen");
        QStringList names = Entries(d.ScannerBox());
        names.sort();
        EXPECT_EQ(names, QStringList({"pnm:0", "pnm:1", "test:0", "test:1"}));
        EXPECT_TRUE(d.StatusLabel()->text().isEmpty());
        d.ScannerBox()->setCurrentIndex(d.ScannerBox()->findData("test:1"));
        EXPECT_EQ(d.ScannerBox()->currentText(), "Noname frontend-tester (test:1)");
        d.ResolutionBox()->setCurrentIndex(d.ResolutionBox()->findText("600 dpi"));
        QTest::mouseClick(d.ColourButton(), Qt::LeftButton);
        QTest::mouseClick(d.ScanButton(), Qt::LeftButton);
        return d.result();
    };
    ASSERT_EQ(Application()->ExecDialog(dialog), QDialog::Accepted);
    TScanRequest expected = Sheet(210, 297);
    expected.Device = "test:1";
    expected.Dpi = 600;
    expected.Colour = TScanColour::Colour;
    EXPECT_EQ(dialog.Request(), expected);
}

TEST(ScanDialog, ProposesTheLastChoiceAndShowsTheSheetsArea) {
    UseSaneBackends({"test"});
    TScanRequest last = Sheet(215.9, 279.4);
    last.Device = "test:1";
    last.Dpi = 150;
    last.Colour = TScanColour::Colour;
    TScanDialog dialog(last);
    ASSERT_TRUE(SearchEnds(dialog));
    EXPECT_EQ(dialog.ScannerBox()->currentData().toString(), "test:1");
    EXPECT_EQ(dialog.ResolutionBox()->currentText(), "150 dpi");
    EXPECT_TRUE(dialog.ColourButton()->isChecked());
    EXPECT_TRUE(dialog.AreaLabel()->text().startsWith("215,9 × 279,4 mm ab der Ecke des Scanners"));
    EXPECT_EQ(dialog.Request(), last);
}

TEST(ScanDialog, DefaultsAre300DpiGreyAndTheFirstScanner) {
    UseSaneBackends({"test"});
    TScanRequest unknown = Sheet(210, 297);
    unknown.Device = "gone:0";
    unknown.Dpi = 1200;
    TScanDialog dialog(unknown);
    ASSERT_TRUE(SearchEnds(dialog));
    EXPECT_EQ(Entries(dialog.ScannerBox()), QStringList({"test:0", "test:1"}));
    EXPECT_EQ(dialog.ScannerBox()->currentIndex(), 0);
    EXPECT_EQ(dialog.ResolutionBox()->currentText(), "300 dpi");
    EXPECT_TRUE(dialog.GreyButton()->isChecked());
    EXPECT_TRUE(dialog.ScanButton()->isEnabled());
}

TEST(ScanDialog, WithoutScannerItSaysSoAndCannotScan) {
    UseSaneBackends({});
    TScanDialog dialog(Sheet(210, 297));
    EXPECT_FALSE(dialog.ScanButton()->isEnabled()) << "not while searching";
    ASSERT_TRUE(SearchEnds(dialog));
    EXPECT_EQ(dialog.ScannerBox()->count(), 0);
    EXPECT_FALSE(dialog.ScanButton()->isEnabled());
    const QString status = dialog.StatusLabel()->text();
    EXPECT_TRUE(status.startsWith("Kein Scanner gefunden. Bitte prüfen Sie, ob er angeschlossen und eingeschaltet "
                                  "ist."));
    EXPECT_TRUE(status.contains("sane-find-scanner"));
    EXPECT_TRUE(status.endsWith("„lp“."));
}

// A scanner switched on while the dialog is open is found with
// "Aktualisieren".
TEST(ScanDialog, RefreshFindsAScannerSwitchedOnSince) {
    UseSaneBackends({});
    TScanDialog dialog(Sheet(210, 297));
    ASSERT_TRUE(SearchEnds(dialog));
    ASSERT_FALSE(dialog.ScanButton()->isEnabled());
    mx::test::WriteSaneConfig({"test"});
    QTest::mouseClick(dialog.RefreshButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.Searching());
    EXPECT_FALSE(dialog.RefreshButton()->isEnabled());
    ASSERT_TRUE(SearchEnds(dialog));
    EXPECT_EQ(dialog.ScannerBox()->count(), 2);
    EXPECT_TRUE(dialog.StatusLabel()->text().isEmpty());
    EXPECT_TRUE(dialog.ScanButton()->isEnabled());
    EXPECT_TRUE(dialog.RefreshButton()->isEnabled());
}

TEST(ScanDialog, CancelReturnsRejected) {
    UseSaneBackends({"test"});
    TScanDialog dialog(Sheet(210, 297));
    Answers().onDialog = [](QWidget& w) {
        auto& d = dynamic_cast<TScanDialog&>(w);
        QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
        return d.result();
    };
    EXPECT_EQ(Application()->ExecDialog(dialog), QDialog::Rejected);
}

// Closing the dialog while the search runs leaves the search to end on its
// own; the next dialog searches as usual.
TEST(ScanDialog, ClosedWhileSearchingDoesNotDisturbTheNext) {
    UseSaneBackends({"test"});
    std::make_unique<TScanDialog>(Sheet(210, 297)).reset();
    TScanDialog next(Sheet(210, 297));
    ASSERT_TRUE(SearchEnds(next));
    EXPECT_EQ(next.ScannerBox()->count(), 2);
}
