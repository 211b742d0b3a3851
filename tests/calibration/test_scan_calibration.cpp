// Calibration from simulated scans of the calibration page: the printer's
// shift, scale and turn recovered over twenty random placements, front and
// back; the next job lands where it should; and no scan that is not a
// proper calibration page ever gives a correction.
#include "calibration/scan_calibration.h"
#include "print/calibration_store.h"
#include "print/correction.h"
#include "sheetscan/scan_error.h"
#include "tests/support/scan_simulator.h"
#include "tests/support/test_support.h"
#include "tests/support/text_match.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

using namespace mx;
using namespace mx::test;

namespace {

// A printer's deviation as a test draws it: shift up to 2 mm, scale up to
// 0.5 %, turn up to 0.5 degrees.
TPrinterModel RandomPrinter(TRandom& random) {
    return {random.Uniform(-2, 2), random.Uniform(-2, 2), 1 + random.Uniform(-0.005, 0.005),
            1 + random.Uniform(-0.005, 0.005), random.Uniform(-0.5, 0.5)};
}

class ScanCalibration : public testing::Test {
protected:
    // The page of a side as the printer gets it, rendered once per test.
    const QImage& Page(bool back, bool marks = true) {
        QImage& page = pages_[back][marks];
        if (page.isNull()) page = RenderCalibrationPage(g, back, marks);
        return page;
    }
    TPrintLayer Printed(bool back, const TPrinterModel& printer = {}) {
        return {Page(back), g.Dpi, {g.OffsetX, g.OffsetY}, printer};
    }
    QImage Scan(bool back, const TPrinterModel& printer = {}, const TScanSetup* setup = nullptr) {
        return SimulateScan({Printed(back, printer)}, setup ? *setup : ScanSetupFor(g));
    }
    std::string MessageOf(const QImage& scan, bool back) {
        return MessageOfError<EScanReading>([&] { CalibrateFromScan(scan, 300, g, back); }).toStdString();
    }

    const PrinterGeometry g = A4Printer(600);

private:
    QImage pages_[2][2];
};

} // namespace

TEST_F(ScanCalibration, RecoversThePrinterOverTwentySeedsFrontAndBack) {
    int within = 0, runs = 0;
    for (int seed = 1; seed <= 20; ++seed) {
        for (const bool back : {false, true}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << (back ? " back" : " front"));
            TRandom random(seed * 2 + back);
            const TPrinterModel printer = RandomPrinter(random);
            const TScanSetup setup = RandomPlacement(random, g);
            const TScanCalibration r = CalibrateFromScan(Scan(back, printer, &setup), setup.Dpi, g, back);
            const TSideCorrection& c = r.Correction;
            EXPECT_NEAR(c.X.OffsetMm, printer.OffsetXMm, 0.1);
            EXPECT_NEAR(c.Y.OffsetMm, printer.OffsetYMm, 0.1);
            EXPECT_NEAR(c.X.Scale, printer.ScaleX, 0.0005);
            EXPECT_NEAR(c.Y.Scale, printer.ScaleY, 0.0005);
            EXPECT_NEAR(r.RotationDeg, printer.RotationDeg, 0.05);
            EXPECT_TRUE(IsUsable(c));
            EXPECT_EQ(r.Back, back);
            EXPECT_EQ(std::count_if(r.Marks.begin(), r.Marks.end(), [](auto& m) { return m.Found; }), 5);
            // The scanner's error was measured and taken out.
            EXPECT_NEAR(r.ScanScaleX, setup.ScaleX, 0.0003);
            EXPECT_NEAR(r.ScanScaleY, setup.ScaleY, 0.0003);
            // The uncertainty shown is honest: it holds the real error.
            const double error =
                std::max(std::abs(c.X.OffsetMm - printer.OffsetXMm), std::abs(c.Y.OffsetMm - printer.OffsetYMm));
            EXPECT_LT(r.OffsetUncertaintyMm, 0.1);
            within += error <= r.OffsetUncertaintyMm;
            ++runs;
        }
    }
    // About 95 % of the time, as it says.
    EXPECT_GE(within, runs * 9 / 10);
}

TEST_F(ScanCalibration, OnceStoredTheNextJobLandsCorrected) {
    TRandom random(77);
    const TPrinterModel printer{1.6, -1.3, 1.004, 0.996, 0.1};
    const TScanSetup setup = RandomPlacement(random, g);
    const TScanCalibration r = CalibrateFromScan(Scan(false, printer, &setup), setup.Dpi, g, false);
    QTemporaryDir dir;
    TCalibrationStore store(dir.filePath("marbelux.INI"));
    store.Save("Testdrucker", {r.Correction, std::nullopt});
    const auto stored = store.Load("Testdrucker").Front;
    ASSERT_TRUE(stored);
    // A job's rectangle, corrected, put on paper by this printer: its edges
    // land on the area's millimetres (the turn aside, which moves the
    // corners by up to 0.1 degree over their distance from the middle).
    const Area area{30, 180, 50, 240};
    const TRect rect = CorrectedRect(FrontRect(area, g), g, stored);
    const auto lands = [&](int devicePx, double scale, double offset) {
        return scale * DeviceToMm(devicePx, g.Dpi) + offset;
    };
    EXPECT_NEAR(lands(rect.Left + g.OffsetX, printer.ScaleX, printer.OffsetXMm), area.Left, 0.1);
    EXPECT_NEAR(lands(rect.Right + g.OffsetX, printer.ScaleX, printer.OffsetXMm), area.Right, 0.1);
    EXPECT_NEAR(lands(rect.Top + g.OffsetY, printer.ScaleY, printer.OffsetYMm), area.Top, 0.1);
    EXPECT_NEAR(lands(rect.Bottom + g.OffsetY, printer.ScaleY, printer.OffsetYMm), area.Bottom, 0.1);
}

TEST_F(ScanCalibration, WorkerThreadsGiveTheSameResultSideBySide) {
    // The dialog measures off the UI thread; two at once must not disturb
    // each other.
    const QImage scans[2] = {Scan(false, {0.4, -0.3, 1.001, 0.999, 0.1}), Scan(true, {-0.8, 0.6, 0.998, 1.003, -0.2})};
    TScanCalibration alone[2], together[2];
    for (const bool back : {false, true}) alone[back] = CalibrateFromScan(scans[back], 300, g, back);
    std::thread threads[2];
    for (const bool back : {false, true})
        threads[back] = std::thread([&, back] { together[back] = CalibrateFromScan(scans[back], 300, g, back); });
    for (std::thread& t : threads) t.join();
    for (const bool back : {false, true}) {
        EXPECT_EQ(together[back].Correction, alone[back].Correction);
        EXPECT_EQ(together[back].RotationDeg, alone[back].RotationDeg);
        EXPECT_EQ(DescribeScanCalibration(together[back]), DescribeScanCalibration(alone[back]));
    }
}

TEST_F(ScanCalibration, WarnsOfAPrintTurnedOnThePaper) {
    const TScanCalibration turned = CalibrateFromScan(Scan(false, {0.5, 0.5, 1, 1, 0.42}), 300, g, false);
    ASSERT_EQ(turned.Warnings.size(), 1);
    EXPECT_EQ(turned.Warnings[0], "Der Druck liegt um 0,42° schräg auf dem Papier. Das gleicht die Kalibrierung nicht "
                                  "aus; prüfen Sie, ob der Drucker das Papier gerade einzieht");
    EXPECT_TRUE(CalibrateFromScan(Scan(false, {0.5, 0.5, 1, 1, -0.2}), 300, g, false).Warnings.isEmpty());
}

TEST_F(ScanCalibration, ASheetLyingAcrossTheGlassIsReadEitherWayRound) {
    for (const double turn : {90.3, -89.6}) {
        SCOPED_TRACE(turn);
        TScanSetup setup = ScanSetupFor(g);
        setup.BedMm = setup.BedMm.transposed();
        setup.SheetCentreMm = {161, 118};
        setup.SheetRotationDeg = turn;
        const TScanCalibration r = CalibrateFromScan(Scan(true, {-1.2, 0.8, 1.003, 0.998, 0}, &setup), 300, g, true);
        EXPECT_NEAR(r.Correction.X.OffsetMm, -1.2, 0.1);
        EXPECT_NEAR(r.Correction.Y.OffsetMm, 0.8, 0.1);
        EXPECT_NEAR(r.Correction.X.Scale, 1.003, 0.0005);
    }
}

TEST_F(ScanCalibration, OneSpoiledMarkIsLeftOutTwoAreTooMany) {
    // A blot of ink over the top-right mark, then over the bottom-left too.
    QImage blotted = Page(false).convertToFormat(QImage::Format_RGB32);
    const auto marks = CalibrationMarks(g, false);
    const auto blot = [&](const TCalibrationMark& m) {
        QPainter(&blotted).fillRect(QRect(m.Paper.x() - g.OffsetX - 40, m.Paper.y() - g.OffsetY - 60, 150, 90),
                                    Qt::black);
    };
    const TPrinterModel printer{0.7, 1.1, 0.998, 1.002, 0};
    blot(marks[1]);
    const auto oneLeft = CalibrateFromScan(
        SimulateScan({{blotted, g.Dpi, {g.OffsetX, g.OffsetY}, printer}}, ScanSetupFor(g)), 300, g, false);
    EXPECT_FALSE(oneLeft.Marks[1].Found);
    EXPECT_NEAR(oneLeft.Correction.X.OffsetMm, 0.7, 0.1);
    EXPECT_NEAR(oneLeft.Correction.Y.Scale, 1.002, 0.0005);
    blot(marks[2]);
    EXPECT_EQ(MessageOf(SimulateScan({{blotted, g.Dpi, {g.OffsetX, g.OffsetY}, printer}}, ScanSetupFor(g)), false),
              "Im Scan sind nur 3 der fünf Kalibriermarken zu finden. Liegt das Blatt ganz und glatt auf dem Glas?");
}

TEST_F(ScanCalibration, AMarkThatDoesNotFitTheOthersIsLeftOutAndSaid) {
    // The middle mark printed 1 mm away from its place, as a mark misread
    // would seem: the others agree, so it is left out with a warning.
    QImage moved = Page(false).copy();
    const auto middle = CalibrationMarks(g, false)[4];
    const QRect box(middle.Paper.x() - g.OffsetX - 100, middle.Paper.y() - g.OffsetY - 100, 200, 200);
    const QImage mark = moved.copy(box);
    QPainter painter(&moved);
    painter.fillRect(box, Qt::white);
    painter.drawImage(box.topLeft() + QPoint(MmToDevice(1, g.Dpi), 0), mark);
    painter.end();
    const auto r =
        CalibrateFromScan(SimulateScan({{moved, g.Dpi, {g.OffsetX, g.OffsetY}, {}}}, ScanSetupFor(g)), 300, g, false);
    EXPECT_EQ(r.Warnings,
              QStringList("Die Marke in der Mitte passt nicht zu den anderen und wurde nicht berücksichtigt"));
    EXPECT_NEAR(r.Correction.X.OffsetMm, 0, 0.1);
    EXPECT_NEAR(r.Correction.X.Scale, 1, 0.0005);
}

TEST_F(ScanCalibration, ScansThatAreNoProperCalibrationPageNeverCalibrate) {
    const std::string noSheet = "Im Scan ist kein Blatt zu erkennen";
    EXPECT_PRED2(StartsWith, MessageOf(HostileScan(THostile::Blank), false), noSheet);
    EXPECT_PRED2(StartsWith, MessageOf(HostileScan(THostile::Black), false), noSheet);
    EXPECT_PRED2(StartsWith, MessageOf(HostileScan(THostile::Noise), false), noSheet);
    for (quint64 seed = 1; seed <= 5; ++seed) EXPECT_NE(MessageOf(HostileScan(THostile::Photo, seed), false), "");

    // A sheet, but not a calibration page: a letter, the page without marks.
    TScanSetup straight = ScanSetupFor(g);
    const QImage letter = SimulateScan({{RenderTextPage(PaperMm(g), 300), 300, {0, 0}, {}}}, straight);
    EXPECT_EQ(MessageOf(letter, false), "Auf dem Blatt sind keine Kalibriermarken zu finden. Scannen Sie die gedruckte "
                                        "Kalibrierseite der Vorderseite");
    const QImage unmarked = SimulateScan({{Page(false, false), g.Dpi, {g.OffsetX, g.OffsetY}, {}}}, straight);
    EXPECT_PRED2(StartsWith, MessageOf(unmarked, true), "Auf dem Blatt sind keine Kalibriermarken zu finden");

    // The right page, read wrongly: on its head, mirrored, the other side's.
    TScanSetup onItsHead = straight;
    onItsHead.SheetRotationDeg = 180.6;
    EXPECT_EQ(MessageOf(Scan(false, {}, &onItsHead), false),
              "Das Blatt liegt im Scan auf dem Kopf. Drehen Sie es auf dem Glas um eine halbe Drehung und scannen Sie "
              "noch einmal");
    TScanSetup mirrored = straight;
    mirrored.Mirror = true;
    for (const bool back : {false, true})
        EXPECT_EQ(MessageOf(Scan(back, {}, &mirrored), back),
                  "Der Scan zeigt die Kalibrierseite spiegelverkehrt. Scannen oder öffnen Sie ihn ohne Spiegelung");
    EXPECT_EQ(MessageOf(Scan(false), true), "Im Scan ist die Kalibrierseite der Vorderseite zu sehen, kalibriert wird "
                                            "die Rückseite. Scannen Sie die Kalibrierseite der Rückseite");
    EXPECT_PRED2(StartsWith, MessageOf(Scan(true), false), "Im Scan ist die Kalibrierseite der Rückseite");

    // Cut off, and a printer beyond what a correction takes on.
    TScanSetup cut = straight;
    cut.SheetCentreMm.ry() = 310;
    EXPECT_PRED2(StartsWith, MessageOf(Scan(false, {}, &cut), false), "Das Blatt ist am Rand des Scans abgeschnitten");
    EXPECT_EQ(MessageOf(Scan(false, {10.6, 0, 1, 1, 0}), false),
              "Der Scan ergibt eine Verschiebung von 10,6 mm in der Breite. Mehr als 10 mm kann nicht ausgeglichen "
              "werden – ist es die Kalibrierseite dieses Druckers?");
    EXPECT_EQ(
        MessageOf(Scan(false, {0, 0, 1, 1.012, 0}), false),
        "Der Scan ergibt eine Verzerrung von 1,2 % in der Höhe. Mehr als 1 % kann nicht ausgeglichen werden – ist "
        "es die Kalibrierseite dieses Druckers?");
}

TEST(DescribeScanCalibration, ShowsTheResultInTheUsersNumbers) {
    TScanCalibration r;
    r.Back = true;
    r.Correction = {{1.234, 1.0021}, {-0.456, 0.9987}};
    r.RotationDeg = -0.123;
    r.OffsetUncertaintyMm = 0.0213;
    r.ScaleUncertainty = 0.00008;
    r.ScanScaleX = 1.003;
    r.ScanScaleY = 0.997;
    r.Marks.resize(5);
    for (int i = 0; i < 4; ++i) r.Marks[i].Found = true;
    r.Warnings << "Die Marke in der Mitte passt nicht zu den anderen und wurde nicht berücksichtigt";
    EXPECT_EQ(DescribeScanCalibration(r).toStdString(),
              "Rückseite, gemessen an 4 Marken\n"
              "Verschiebung: +1,23 mm in der Breite, −0,46 mm in der Höhe\n"
              "Maßstab: 100,21 % in der Breite, 99,87 % in der Höhe\n"
              "Drehung des Drucks gegen das Papier: −0,12°\n"
              "Genauigkeit dieses Scans: ±0,03 mm, Maßstab ±0,01 %\n"
              "Maßstab des Scanners (herausgerechnet): 100,30 % / 99,70 %\n"
              "Die Marke in der Mitte passt nicht zu den anderen und wurde nicht berücksichtigt");
}
