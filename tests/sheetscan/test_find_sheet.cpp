// Finding the sheet in simulated scans: where it lies to a fraction of a
// pixel, the scanner's own scale, and a clear message for every scan that
// shows no whole sheet.
#include "sheetscan/find_sheet.h"
#include "sheetscan/grey_image.h"
#include "sheetscan/line_fit.h"
#include "sheetscan/scan_error.h"
#include "tests/support/scan_simulator.h"
#include "tests/support/test_support.h"
#include "tests/support/text_match.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

const PrinterGeometry Printer = A4Printer();

// A letter with a heavy black bar 2 mm inside the left edge and text 5 mm
// inside the others: what a sheet's edges must be found next to.
TPrintLayer LetterWithBar() {
    const QSizeF paper = PaperMm(Printer);
    QImage page = RenderTextPage(paper, 300);
    QPainter p(&page);
    p.fillRect(QRectF(MmToDevice(2, 300), MmToDevice(40, 300), MmToDevice(3, 300), MmToDevice(150, 300)), Qt::black);
    return {page, 300, {0, 0}, {}};
}

// The largest distance, in scan pixels, between the frame's corners and
// where the simulated sheet's corners really are.
double CornerError(const TSheetFrame& frame, const TScanSetup& setup) {
    double worst = 0;
    for (const QPointF& corner : {QPointF(0, 0), QPointF(setup.PaperMm.width(), 0), QPointF(0, setup.PaperMm.height()),
                                  QPointF(setup.PaperMm.width(), setup.PaperMm.height())}) {
        const QPointF d = frame.ToScan(corner) - ScanPositionOf(setup, corner);
        worst = std::max(worst, std::hypot(d.x(), d.y()));
    }
    return worst;
}

std::string MessageOf(const QImage& scan, double dpi = 300, QSizeF paper = PaperMm(Printer)) {
    return MessageOfError<EScanReading>([&] { FindSheet(scan, dpi, paper); }).toStdString();
}

} // namespace

TEST(FindSheet, FindsTheSheetWhereverItLiesToAFractionOfAPixel) {
    const TPrintLayer letter = LetterWithBar();
    struct TCase {
        double rotation;
        QPointF centre;
        QSizeF bed;
    };
    const TCase cases[] = {{0, {118, 161}, {236, 322}},    {1.7, {116, 163}, {236, 322}},
                           {-2, {120, 158}, {236, 322}},   {-6, {132, 168}, {266, 336}},
                           {90.6, {161, 118}, {322, 236}}, {-89.2, {161, 118}, {322, 236}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.rotation);
        const bool across = std::abs(c.rotation) > 45;
        TScanSetup setup = ScanSetupFor(Printer);
        setup.SheetRotationDeg = c.rotation;
        setup.SheetCentreMm = c.centre;
        setup.BedMm = c.bed;
        setup.ScaleX = 1.003;
        setup.ScaleY = 0.996;
        const TSheetScan sheet = FindSheet(SimulateScan({letter}, setup), setup.Dpi, setup.PaperMm);
        // Lying across, the sheet may be read either way round.
        const double error = std::min(CornerError(sheet.Frame, setup), CornerError(sheet.Frame.Turned(), setup));
        EXPECT_LT(error, 0.3);
        // The scanner's own scale along the sheet's width and height.
        EXPECT_NEAR(sheet.ScanScaleX, across ? setup.ScaleY : setup.ScaleX, 0.0002);
        EXPECT_NEAR(sheet.ScanScaleY, across ? setup.ScaleX : setup.ScaleY, 0.0002);
        // The top edge's angle in the scan; the scanner's two scales bend it
        // a little away from the angle on the glass.
        const QPointF top = ScanPositionOf(setup, {setup.PaperMm.width(), 0}) - ScanPositionOf(setup, {0, 0});
        const double angle = std::atan2(top.y(), top.x()) * 180 / M_PI;
        EXPECT_NEAR(std::abs(std::remainder(sheet.Frame.RotationDeg() - angle, 180.0)), 0, 0.005);
        for (const double e : sheet.EdgeErrorMm) EXPECT_LT(e, 0.01);
    }
}

TEST(FindSheet, ScansWithoutAWholeSheetGiveAClearMessage) {
    for (const THostile kind : {THostile::Blank, THostile::Black, THostile::Noise})
        EXPECT_PRED2(StartsWith, MessageOf(HostileScan(kind)), "Im Scan ist kein Blatt zu erkennen") << int(kind);
    // A photo may show something rectangular; it is never a sheet.
    for (quint64 seed = 1; seed <= 5; ++seed) EXPECT_NE(MessageOf(HostileScan(THostile::Photo, seed)), "");

    const TPrintLayer letter = LetterWithBar();
    TScanSetup off = ScanSetupFor(Printer);
    off.SheetCentreMm = {104, 161}; // the left edge 1 mm beyond the glass
    EXPECT_PRED2(StartsWith, MessageOf(SimulateScan({letter}, off)), "Das Blatt ist am Rand des Scans abgeschnitten");
    off.SheetCentreMm = {118, 310};
    EXPECT_PRED2(StartsWith, MessageOf(SimulateScan({letter}, off)), "Das Blatt ist am Rand des Scans abgeschnitten");

    // A5 where A4 is expected, and a scan whose stated resolution is wrong.
    TScanSetup exact = ScanSetupFor(Printer);
    exact.ScaleX = exact.ScaleY = 1;
    exact.PaperMm = {148, 210};
    EXPECT_EQ(MessageOf(SimulateScan({}, exact)),
              "Das Blatt im Scan misst etwa 148 × 210 mm, erwartet wird ein Blatt von 210 × 297 mm. Stimmen das "
              "Papierformat und die Auflösung des Scans (300 dpi)?");
    exact.PaperMm = PaperMm(Printer);
    const QImage a4 = SimulateScan({letter}, exact);
    const std::string wrongDpi = MessageOf(a4, 200);
    EXPECT_PRED2(StartsWith, wrongDpi, "Das Blatt im Scan misst etwa 315 × ");
    EXPECT_PRED2(Contains, wrongDpi, "(200 dpi)");

    EXPECT_EQ(MessageOf(QImage()), "Der Scan enthält kein Bild");
    EXPECT_EQ(MessageOf(a4, 0), "Die Auflösung des Scans ist unbekannt");
}

TEST(FindSheet, AWhiteLidThatHidesTheEdgesIsSaid) {
    TScanSetup setup = ScanSetupFor(Printer);
    setup.Lid = 0.93;
    const std::string message = MessageOf(SimulateScan({LetterWithBar()}, setup));
    EXPECT_PRED2(StartsWith, message, "Im Scan ist kein Blatt zu erkennen");
    EXPECT_PRED2(Contains, message, "dunklen Karton");
}

TEST(SheetFrame, TurnedAndMirroredReadTheSameSheet) {
    TSheetFrame f{{210, 297}, {100, 50}, {11.8, 0.2}, {-0.2, 11.7}};
    const QPointF p(30, 40);
    EXPECT_NEAR((f.ToSheet(f.ToScan(p)) - p).manhattanLength(), 0, 1e-9);
    EXPECT_NEAR((f.Turned().ToScan(p) - f.ToScan({180, 257})).manhattanLength(), 0, 1e-9);
    EXPECT_NEAR((f.Mirrored().ToScan(p) - f.ToScan({180, 40})).manhattanLength(), 0, 1e-9);
    EXPECT_NEAR(std::abs(f.Turned().RotationDeg() - f.RotationDeg()), 180, 1e-9);
    EXPECT_EQ(f.Outline().first(), f.ToScan({0, 0}));
}

TEST(FitLine, StrayPointsDoNotTiltTheLine) {
    // An edge at y = 0.02 x + 5 with a sixth of its points on text nearby.
    std::vector<QPointF> points;
    TRandom random(3);
    for (int i = 0; i < 300; ++i) {
        const double x = i;
        const double y = i % 6 == 0 ? 5 + random.Uniform(4, 30) : 0.02 * x + 5 + 0.1 * random.Normal();
        points.emplace_back(x, y);
    }
    const auto line = FitLine(points, {1, 0}, 0.3);
    ASSERT_TRUE(line);
    EXPECT_NEAR(line->Direction.y() / line->Direction.x(), 0.02, 0.001);
    const auto at = Intersection(*line, TFittedLine{{150, 0}, {0, 1}});
    ASSERT_TRUE(at);
    EXPECT_NEAR(at->y(), 8, 0.03);
    EXPECT_EQ(line->Count, 250);
    EXPECT_LT(line->PositionError(), 0.01);
    EXPECT_FALSE(FitLine({{0, 0}, {1, 1}}, {1, 0}, 0.3));
}

TEST(GreyImage, ReadsBetweenPixelCentres) {
    QImage image(4, 2, QImage::Format_Grayscale8);
    for (int x = 0; x < 4; ++x) image.scanLine(0)[x] = image.scanLine(1)[x] = uchar(x * 40);
    const TGreyImage grey(image);
    EXPECT_DOUBLE_EQ(grey.At(0.5, 0.5), 0);
    EXPECT_DOUBLE_EQ(grey.At(2.0, 1.0), 60);
    EXPECT_DOUBLE_EQ(grey.At(4.0, 2.0), 120);
    EXPECT_TRUE(std::isnan(grey.At(4.01, 1)));
    EXPECT_TRUE(std::isnan(grey.At(-0.01, 1)));
    EXPECT_TRUE(TGreyImage(QImage(1, 5, QImage::Format_RGB32)).IsNull());
}
