// The corrections in the settings file and their one-line description.
#include "calibration/calibration_text.h"
#include "platform/exception.h"
#include "platform/fonts.h"
#include "platform/profile_file.h"
#include "print/calibration_store.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

const TSideCorrection FrontOf{{1.0, 1.002}, {-0.5, 0.998}};
const TSideCorrection BackOf{{-2.2, 1.0}, {0.7, 1.0}};

class CalibrationStore : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void Put(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Bytes() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString path = dir.filePath("marbelux.INI");
    TCalibrationStore store{path};
};

} // namespace

TEST_F(CalibrationStore, EachPrinterKeepsItsOwnValuesWrittenWithADot) {
    const QByteArray windowSection = "[TMainForm]\r\nFormVersion=0\r\nfillBox_ItemIndex=3\r\n";
    Put(windowSection);
    store.Save("MarbeluxTest", {FrontOf, std::nullopt});
    store.Save("PDF", {std::nullopt, BackOf});
    EXPECT_TRUE(Bytes().startsWith(windowSection)); // the window store's section stays as it was
    EXPECT_TRUE(Bytes().contains("[Kalibrierung MarbeluxTest]\r\nFrontOffsetX=1.0000\r\nFrontScaleX=1.002000\r\n"))
        << Bytes().toStdString();
    EXPECT_EQ(TIniFile(path).ReadString("Kalibrierung PDF", "BackOffsetX", ""), "-2.2000");

    const TPrinterCalibration test = store.Load("MarbeluxTest"), pdf = store.Load("PDF");
    EXPECT_EQ(test, (TPrinterCalibration{FrontOf, std::nullopt}));
    EXPECT_EQ(pdf, (TPrinterCalibration{std::nullopt, BackOf}));
    EXPECT_EQ(store.Load("Other"), TPrinterCalibration{});

    // Saving again replaces the section; removing takes it away, the
    // other printer's and the window's stay.
    store.Save("MarbeluxTest", {std::nullopt, BackOf});
    EXPECT_EQ(store.Load("MarbeluxTest"), (TPrinterCalibration{std::nullopt, BackOf}));
    EXPECT_EQ(TIniFile(path).ReadString("Kalibrierung MarbeluxTest", "FrontOffsetX", "gone"), "gone");
    store.Remove("MarbeluxTest");
    EXPECT_FALSE(store.Exists("MarbeluxTest"));
    EXPECT_EQ(store.Load("PDF"), (TPrinterCalibration{std::nullopt, BackOf}));
    EXPECT_TRUE(Bytes().startsWith(windowSection));
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

TEST_F(CalibrationStore, NamesThatWouldBreakTheSectionHeader) {
    store.Save("a]b", {FrontOf, std::nullopt});
    store.Save(" Laser\nJet ", {std::nullopt, BackOf});
    EXPECT_EQ(store.Load("a]b").Front, FrontOf);
    EXPECT_EQ(store.Load(" Laser\nJet ").Back, BackOf);
    EXPECT_EQ(store.Load("a"), TPrinterCalibration{});
    EXPECT_TRUE(TIniFile(path).SectionExists("Kalibrierung a_b"));
}

TEST_F(CalibrationStore, DamagedEntriesAreIgnoredAndReportedOnce) {
    const QByteArray goodBack = "BackOffsetX=0.5\nBackScaleX=1\nBackOffsetY=0\nBackScaleY=1\n";
    const QByteArray damaged[] = {
        "FrontOffsetX=abc\nFrontScaleX=1\nFrontOffsetY=0\nFrontScaleY=1\n", // not a number
        "FrontOffsetX=1,5\nFrontScaleX=1\nFrontOffsetY=0\nFrontScaleY=1\n", // a comma
        "FrontOffsetX=0\nFrontScaleX=1.2\nFrontOffsetY=0\nFrontScaleY=1\n", // scale out of range
        "FrontOffsetX=0\nFrontScaleX=1\nFrontOffsetY=25\nFrontScaleY=1\n",  // offset out of range
        "FrontOffsetX=1\nFrontOffsetY=0\nFrontScaleY=1\n",                  // half a pair
        "FrontOffsetX=nan\nFrontScaleX=1\nFrontOffsetY=0\nFrontScaleY=1\n", // NaN
        "FrontOffsetX=0\nFrontScaleX=inf\nFrontOffsetY=0\nFrontScaleY=1\n", // infinite
    };
    for (const QByteArray& front : damaged) {
        SCOPED_TRACE(front.toStdString());
        Answers().messages.clear();
        TCalibrationStore fresh(path);
        Put("[Kalibrierung P]\n" + front + goodBack);
        const TPrinterCalibration loaded = fresh.Load("P");
        EXPECT_FALSE(loaded.Front);
        ASSERT_TRUE(loaded.Back); // the sound side still counts
        EXPECT_EQ(loaded.Back->X.OffsetMm, 0.5);
        fresh.Load("P");
        fresh.Load("P");
        ASSERT_EQ(Answers().Errors().size(), 1);
        EXPECT_EQ(Answers().Errors()[0], "Die gespeicherte Kalibrierung für den Drucker „P“ ist beschädigt "
                                         "(Vorderseite) und wird nicht verwendet. Bitte kalibrieren Sie den Drucker "
                                         "neu.");
    }
}

TEST_F(CalibrationStore, ReportIsOncePerPrinterAndAgainAfterANewSave) {
    Put("[Kalibrierung P]\nFrontScaleX=x\nBackScaleY=2\n[Kalibrierung Q]\nBackOffsetX=1\n");
    EXPECT_EQ(store.Load("P"), TPrinterCalibration{});
    EXPECT_EQ(store.Load("Q"), TPrinterCalibration{});
    store.Load("P");
    ASSERT_EQ(Answers().Errors().size(), 2);
    EXPECT_TRUE(Answers().Errors()[0].contains("(Vorderseite und Rückseite)"));
    EXPECT_TRUE(Answers().Errors()[1].contains("„Q“ ist beschädigt (Rückseite)"));

    // Entries that are neither there nor filled in are no damage.
    TIniFile(path).WriteString("Kalibrierung R", "FrontOffsetX", "");
    TIniFile(path).WriteString("Kalibrierung R", "BackScaleY", "\"\"");
    EXPECT_EQ(store.Load("R"), TPrinterCalibration{});
    EXPECT_EQ(Answers().Errors().size(), 2);

    store.Save("Q", {FrontOf, std::nullopt});
    TIniFile(path).WriteString("Kalibrierung Q", "FrontScaleY", "0.5");
    EXPECT_EQ(store.Load("Q"), TPrinterCalibration{});
    EXPECT_EQ(Answers().Errors().size(), 3);
}

TEST_F(CalibrationStore, UnwritableFileRaisesAndKeepsWhatWasThere) {
    store.Save("P", {FrontOf, std::nullopt});
    const QByteArray before = Bytes();
    TIniFile::SetReplaceHookForTests([](const QString&) { return false; });
    EXPECT_THROW(store.Save("P", {std::nullopt, BackOf}), EIniFileError);
    EXPECT_THROW(store.Remove("P"), EIniFileError);
    TIniFile::SetReplaceHookForTests({});
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(store.Load("P").Front, FrontOf);
}

TEST(CalibrationText, DescribesTheCorrectionInForce) {
    EXPECT_EQ(DescribeCalibration({}), "Keine Kalibrierung");
    EXPECT_EQ(DescribeCalibration({TSideCorrection{{1.0, 1}, {-0.5, 1}}, std::nullopt}),
              "Kalibrierung: vorn +1,0 / −0,5 mm, hinten keine");
    EXPECT_EQ(DescribeCalibration({std::nullopt, TSideCorrection{{0.04, 1.0004}, {-0.04, 1}}}),
              "Kalibrierung: vorn keine, hinten 0,0 / 0,0 mm");
    EXPECT_EQ(DescribeCalibration({FrontOf, BackOf}),
              "Kalibrierung: vorn +1,0 / −0,5 mm, Maßstab, hinten −2,2 / +0,7 mm");
    EXPECT_EQ(DescribeSide(FrontOf), "+1,0 / −0,5 mm, Maßstab 100,2 / 99,8 %");
    EXPECT_EQ(DescribeSide(TSideCorrection{{0, 1}, {0, 0.999}}), "0,0 / 0,0 mm, Maßstab 100,0 / 99,9 %");
}

TEST(CalibrationText, LongestDescriptionFitsTheStatusLine) {
    const TSideCorrection widest{{-10, 0.99}, {-10, 1.01}};
    const QString text = DescribeCalibration({widest, widest});
    const int width = QFontMetrics(WindowsFont("MS Sans Serif", 11)).horizontalAdvance(text);
    EXPECT_LE(width, 400) << text.toStdString();
}
