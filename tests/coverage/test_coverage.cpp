// The coverage check on simulated scans: the job's own fill printed over a
// letter by a printer with a known shift, scanned; the strips it left
// uncovered are named to within 0.2 mm, a full cover reads 99 % or more.
#include "coverage/coverage_check.h"
#include "print/fill_style.h"
#include "print/overprint_rect.h"
#include "sheetscan/scan_error.h"
#include "tests/support/scan_simulator.h"
#include "tests/support/test_support.h"
#include "tests/support/text_match.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

struct TFillChoice {
    int Index; // in the fill list: 0 solid, 2 diagonal cross
    TColor Foreground, Background;
};
const TFillChoice Fills[] = {{0, clBlack, clWhite}, {2, RGB(160, 0, 0), clWhite}, {0, RGB(30, 60, 170), clWhite}};

class Coverage : public testing::Test {
protected:
    // One area's fill as the job prints it, on a page of its own.
    TPrintLayer FillLayer(const Area& a, bool back, const TFillChoice& fill, const TPrinterModel& printer) const {
        const TRect r = back ? BackRect(a, g) : FrontRect(a, g);
        const int margin = 16;
        QImage page(r.Width() + 2 * margin, r.Height() + 2 * margin, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            // Drawn at the job's own device positions, so the hatch keeps
            // its phase.
            TCanvas canvas(&page);
            canvas.Painter().translate(-(r.Left - margin), -(r.Top - margin));
            ApplyFillRule(canvas, r, fill.Index, fill.Foreground, fill.Background);
        }
        return {page, g.Dpi, {g.OffsetX + r.Left - margin, g.OffsetY + r.Top - margin}, printer};
    }
    TPrintLayer Letter() const { return {letter, 300, {0, 0}, {}}; }
    TCoverageJob Job(std::vector<Area> areas, bool back, const TFillChoice& fill) const {
        return {PaperMm(g),
                back,
                std::move(areas),
                {*FillPatternForIndex(fill.Index), fill.Foreground, fill.Background, g.Dpi}};
    }
    TScanSetup Colour(TScanSetup s) const {
        s.Colour = true;
        return s;
    }
    // The strips a shifted printer truly leaves: the fill's device edges
    // on paper against the area on the printed side.
    std::array<double, 4> TrueStrips(const Area& a, bool back, const TPrinterModel& p) const {
        const double w = DeviceToMm(g.PaperWidth, g.Dpi);
        const auto mm = [&](int device) { return DeviceToMm(device, g.Dpi); };
        const double fillLeft = back ? w - mm(MmToDevice(a.Right, g.Dpi)) : mm(MmToDevice(a.Left, g.Dpi));
        const double fillRight = back ? w - mm(MmToDevice(a.Left, g.Dpi)) : mm(MmToDevice(a.Right, g.Dpi));
        const double left = back ? w - a.Right : a.Left, right = back ? w - a.Left : a.Right;
        return {std::max(0.0, fillLeft + p.OffsetXMm - left),
                std::max(0.0, mm(MmToDevice(a.Top, g.Dpi)) + p.OffsetYMm - a.Top),
                std::max(0.0, right - fillRight - p.OffsetXMm),
                std::max(0.0, a.Bottom - mm(MmToDevice(a.Bottom, g.Dpi)) - p.OffsetYMm)};
    }

    const PrinterGeometry g = A4Printer(600);
    const QImage letter = RenderTextPage(PaperMm(g), 300);
};

double TrueShare(const Area& a, const std::array<double, 4>& strips) {
    return (a.Right - a.Left - strips[0] - strips[2]) * (a.Bottom - a.Top - strips[1] - strips[3]) /
           ((a.Right - a.Left) * (a.Bottom - a.Top));
}

} // namespace

TEST_F(Coverage, NamesUncoveredStripsOverTwentySeeds) {
    for (int seed = 1; seed <= 20; ++seed) {
        TRandom random(seed);
        const bool back = seed % 2 == 0;
        const TFillChoice& fill = Fills[seed % 3];
        const double left = random.Uniform(20, 60), top = random.Uniform(40, 150);
        const Area area{left, left + random.Uniform(40, 100), top, top + random.Uniform(20, 60)};
        // Each axis shifted by nothing or by 0.5 to 1.5 mm either way.
        const auto shift = [&] { return random.Next() % 3 == 0 ? 0.0 : random.Sign() * random.Uniform(0.5, 1.5); };
        const TPrinterModel printer{shift(), shift(), 1, 1, 0};
        const TScanSetup setup = Colour(RandomPlacement(random, g));
        SCOPED_TRACE(testing::Message() << "seed " << seed << " shift " << printer.OffsetXMm << ", "
                                        << printer.OffsetYMm);

        const QImage scan = SimulateScan({Letter(), FillLayer(area, back, fill, printer)}, setup);
        const TCoverageReport report = CheckCoverage(scan, setup.Dpi, Job({area}, back, fill));
        ASSERT_EQ(report.Areas.size(), 1u);
        EXPECT_FALSE(report.Turned);
        const TAreaCoverage& found = report.Areas[0];
        const auto strips = TrueStrips(area, back, printer);
        for (int e = 0; e < 4; ++e) {
            if (strips[e] >= 0.5) {
                EXPECT_NEAR(found.UncoveredMm[e], strips[e], 0.2) << "edge " << e;
            }
            if (strips[e] == 0) {
                EXPECT_LT(found.UncoveredMm[e], LeastStripMm) << "edge " << e;
            }
        }
        EXPECT_NEAR(found.CoveredShare, TrueShare(area, strips), 0.01);
    }
}

TEST_F(Coverage, AFullyCoveredAreaReadsAtLeast99Percent) {
    const std::vector<Area> areas{{30, 110, 40, 70}, {120, 180, 150, 190}, {25, 60, 230, 260}};
    for (const TFillChoice& fill : Fills) {
        for (const bool back : {false, true}) {
            std::vector<TPrintLayer> layers{Letter()};
            for (const Area& a : areas) layers.push_back(FillLayer(a, back, fill, {}));
            TRandom random(fill.Index * 7 + back);
            const TScanSetup setup = Colour(RandomPlacement(random, g));
            const TCoverageReport report =
                CheckCoverage(SimulateScan(layers, setup), setup.Dpi, Job(areas, back, fill));
            ASSERT_EQ(report.Areas.size(), areas.size());
            for (const TAreaCoverage& a : report.Areas) {
                EXPECT_GE(a.CoveredShare, 0.99);
                for (const double strip : a.UncoveredMm) EXPECT_LT(strip, LeastStripMm);
            }
            const std::string full = " vollständig bedeckt \\((99,[0-9]|100,0) %\\)";
            EXPECT_PRED2(MatchesWholly, DescribeCoverage(report).join('\n').toStdString(),
                         "Bereich 1:" + full + "\nBereich 2:" + full + "\nBereich 3:" + full);
        }
    }
}

// A fill that leaves a wide strip, lines of the letter in it: the strip is
// measured to where the fill begins, not to the first line of text, and
// the edges across it are not read as uncovered.
TEST_F(Coverage, AWideStripIsMeasuredPastTheLinesOfTextInIt) {
    const Area area{30, 110, 40, 80};
    for (const auto& [wide, fill] : {std::pair{6.0, Fills[1]}, {12.0, Fills[2]}, {12.0, Fills[0]}}) {
        SCOPED_TRACE(testing::Message() << wide << " mm, fill " << fill.Index << ", colour " << fill.Foreground);
        const Area printed{area.Left, area.Right, area.Top + wide, area.Bottom};
        const TCoverageReport report =
            CheckCoverage(SimulateScan({Letter(), FillLayer(printed, false, fill, {})}, Colour(ScanSetupFor(g))), 300,
                          Job({area}, false, fill));
        const auto& strips = report.Areas[0].UncoveredMm;
        EXPECT_NEAR(strips[aeTop], DeviceToMm(MmToDevice(printed.Top, g.Dpi), g.Dpi) - area.Top, 0.2);
        for (const TAreaEdge e : {aeLeft, aeRight, aeBottom}) EXPECT_LT(strips[e], LeastStripMm) << "edge " << e;
    }
}

TEST_F(Coverage, ASheetOnItsHeadIsReadTurnedAMirroredScanIsSaid) {
    const Area area{30, 110, 40, 70};
    const TPrinterModel printer{1.0, 0, 1, 1, 0};
    TScanSetup setup = Colour(ScanSetupFor(g));
    setup.SheetRotationDeg = 179.2;
    const std::vector<TPrintLayer> layers{Letter(), FillLayer(area, false, Fills[0], printer)};
    const TCoverageReport report = CheckCoverage(SimulateScan(layers, setup), setup.Dpi, Job({area}, false, Fills[0]));
    EXPECT_TRUE(report.Turned);
    EXPECT_NEAR(report.Areas[0].UncoveredMm[aeLeft], TrueStrips(area, false, printer)[aeLeft], 0.2);
    EXPECT_EQ(DescribeCoverage(report).first(),
              "Das Blatt lag verkehrt herum auf dem Glas; der Scan wurde gedreht ausgewertet.");

    setup.SheetRotationDeg = 0.4;
    setup.Mirror = true;
    EXPECT_EQ(MessageOfError<EScanReading>([&] {
                  CheckCoverage(SimulateScan(layers, setup), setup.Dpi, Job({area}, false, Fills[0]));
              }).toStdString(),
              "Der Scan zeigt das Blatt spiegelverkehrt. Scannen oder öffnen Sie ihn ohne Spiegelung");
}

TEST_F(Coverage, WordsARecognitionStillFindsInsideAreNamed) {
    const Area area{30, 110, 40, 70};
    const TScanSetup setup = Colour(ScanSetupFor(g));
    const QImage scan = SimulateScan({Letter(), FillLayer(area, false, Fills[1], {})}, setup);
    // Word boxes in scan pixels around sheet positions.
    const auto word = [&](const QString& text, QPointF mm) {
        const QPointF at = ScanPositionOf(setup, mm);
        return TTextWord{text, QRectF(at - QPointF(30, 8), QSizeF(60, 16)), 0};
    };
    const TTextWords words{word("Kontonummer", {50, 45}), word("4711", {100, 68}), word("x", {60, 50}),
                           word("Betrag", {120, 45}), word("Datum", {50, 35})};
    const TCoverageReport report = CheckCoverage(scan, setup.Dpi, Job({area}, false, Fills[1]), words);
    EXPECT_EQ(report.Areas[0].ReadableWords, QStringList({"Kontonummer", "4711"}));
    EXPECT_EQ(DescribeCoverage(report).last(), "Text noch lesbar: „Kontonummer“, „4711“");
}

TEST_F(Coverage, NoFillAndAFillTheScanCannotShowAreSaid) {
    const Area area{30, 110, 40, 70};
    const TScanSetup setup = Colour(ScanSetupFor(g));
    const QImage letterOnly = SimulateScan({Letter()}, setup);
    const TCoverageReport none = CheckCoverage(letterOnly, setup.Dpi, Job({area}, false, Fills[0]));
    EXPECT_LT(none.Areas[0].CoveredShare, 0.05);
    EXPECT_PRED2(MatchesWholly, DescribeCoverage(none).join('\n').toStdString(),
                 std::string("Bereich: nicht bedeckt \\([0-9],[0-9] %\\)\nIn keinem Bereich ist Füllung zu "
                             "sehen. Ist die bedruckte Seite des Blattes gescannt\\?"));

    EXPECT_EQ(MessageOfError<EScanReading>([&] {
                  CheckCoverage(letterOnly, setup.Dpi, Job({area}, false, {0, clWhite, clWhite}));
              }).toStdString(),
              "Die Füllung hebt sich kaum vom Papier ab, im Scan ist sie nicht zu sehen. Ob sie deckt, lässt sich so "
              "nicht prüfen");
    EXPECT_PRED2(StartsWith, MessageOfError<EScanReading>([&] {
                                 CheckCoverage(HostileScan(THostile::Noise), 300, Job({area}, false, Fills[0]));
                             }).toStdString(),
                 "Im Scan ist kein Blatt zu erkennen");
}

TEST(DescribeCoverage, NamesEachAreasStripsWithTheLocalesDecimals) {
    TCoverageReport report;
    TAreaCoverage a;
    a.OnSide = {10, 50, 10, 30};
    a.CoveredShare = 0.9634;
    a.UncoveredMm = {0.83, 0, 0.19, 0.5};
    report.Areas.push_back(a);
    a.CoveredShare = 0.9951;
    a.UncoveredMm = {};
    report.Areas.push_back(a);
    a.OnSide = {10, 10, 10, 30};
    report.Areas.push_back(a);
    EXPECT_EQ(DescribeCoverage(report),
              QStringList({"Bereich 1: 96,3 % bedeckt – links 0,8 mm nicht bedeckt, unten 0,5 mm nicht bedeckt",
                           "Bereich 2: vollständig bedeckt (99,5 %)", "Bereich 3: leer"}));
}
