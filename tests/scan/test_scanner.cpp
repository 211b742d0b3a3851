// Scanning through the module with SANE's own test and pnm backends: the
// devices found, the image's size and content, and the resolution as the
// device reports it.
#include "platform/background_job.h"
#include "scan/scanner.h"
#include "tests/scan/sane_test_setup.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace mx;
using mx::test::MessageOfError;
using mx::test::TestScan;
using mx::test::UseSaneBackends;

namespace {

constexpr double MmPerInch = 25.4;

TScannedPage Scan(const TScanRequest& request) {
    TJobControl control;
    return ScanPage(request, control);
}

int Pixels(double mm, double dpi) { return int(std::floor(mm / MmPerInch * dpi + 1e-6)); }

// Lengths of the runs of equal grey along a row of a grey image.
QList<int> RunsAlongRow(const QImage& image, int y) {
    QList<int> runs{1};
    const uchar* row = image.constScanLine(y);
    for (int x = 1; x < image.width(); ++x) {
        if (row[x] == row[x - 1])
            ++runs.back();
        else
            runs.append(1);
    }
    return runs;
}

} // namespace

TEST(ScannerList, NamesSanesTestAndPnmDevices) {
    const QList<TScannerInfo> scanners = UseSaneBackends({"test", "pnm"});
    QStringList names;
    for (const TScannerInfo& s : scanners) names << s.Name;
    names.sort();
    EXPECT_EQ(names, QStringList({"pnm:0", "pnm:1", "test:0", "test:1"}));
    for (const TScannerInfo& s : scanners) {
        EXPECT_EQ(s.Vendor, "Noname");
        EXPECT_EQ(s.Type, "virtual device");
        EXPECT_EQ(s.Model, s.Name.startsWith("test") ? "frontend-tester" : "PNM file reader");
    }
    const auto test0 = std::find_if(scanners.begin(), scanners.end(), [](auto& s) { return s.Name == "test:0"; });
    ASSERT_NE(test0, scanners.end());
    EXPECT_EQ(ScannerLabel(*test0), "Noname frontend-tester (test:0)");
    EXPECT_EQ(ScannerLabel({"net:host:x", "", "", ""}), "net:host:x");
}

TEST(ScannerList, NoneWhenSaneKnowsNoBackend) { EXPECT_TRUE(UseSaneBackends({}).isEmpty()); }

// SANE reads its configuration when it starts: a search without refresh
// answers from what SANE knew, a refresh finds what was added since (as a
// backend that looks for devices only at its start finds a scanner
// switched on since).
TEST(ScannerList, RefreshStartsSaneAnew) {
    ASSERT_EQ(UseSaneBackends({"pnm"}).size(), 2);
    mx::test::WriteSaneConfig({"pnm", "test"});
    EXPECT_EQ(ListScanners(false).size(), 2);
    EXPECT_EQ(ListScanners(true).size(), 4);
}

class TestBackendScan : public testing::TestWithParam<std::tuple<int, TScanColour>> {};

// The grid of the test picture has squares of 10 mm: in the image they
// must measure 10 mm at the resolution the device reports.
TEST_P(TestBackendScan, ImageHasTheAreaAtTheReportedResolution) {
    const auto [dpi, colour] = GetParam();
    UseSaneBackends({"test"});
    const TScannedPage page = Scan(TestScan(dpi, colour, {100, 60}));
    ASSERT_FALSE(page.Image.isNull());
    EXPECT_EQ(page.Dpi, QSizeF(dpi, dpi));
    EXPECT_EQ(page.Image.format(), colour == TScanColour::Grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    EXPECT_NEAR(page.Image.width(), Pixels(100, dpi), 1);
    EXPECT_NEAR(page.Image.height(), Pixels(60, dpi), 1);
    EXPECT_EQ(page.Image.dotsPerMeterX(), qRound(dpi / 0.0254));
    EXPECT_EQ(page.Image.dotsPerMeterY(), qRound(dpi / 0.0254));

    const QImage grey = page.Image.convertToFormat(QImage::Format_Grayscale8);
    if (colour == TScanColour::Colour) { // black and white in colour: all three samples alike
        EXPECT_EQ(page.Image.convertToFormat(QImage::Format_RGB888), grey.convertToFormat(QImage::Format_RGB888));
    }
    const QList<int> runs = RunsAlongRow(grey, Pixels(5, dpi));
    ASSERT_EQ(runs.size(), 10);
    for (const int run : runs.mid(1, 8)) EXPECT_NEAR(run, 10 / MmPerInch * dpi, 1.5);
}

std::string ScanName(const testing::TestParamInfo<TestBackendScan::ParamType>& scan) {
    return (std::get<1>(scan.param) == TScanColour::Grey ? "Grey" : "Colour") + std::to_string(std::get<0>(scan.param));
}

INSTANTIATE_TEST_SUITE_P(Scanner, TestBackendScan,
                         testing::Combine(testing::Values(150, 300),
                                          testing::Values(TScanColour::Grey, TScanColour::Colour)),
                         ScanName);

TEST(ScannerScan, AreaBeyondTheDeviceIsWhatTheDeviceReaches) {
    UseSaneBackends({"test"});
    // The test device reaches 200 mm either way; A4 is wider and taller.
    const TScannedPage page = Scan(TestScan(150, TScanColour::Grey, {210, 297}));
    EXPECT_NEAR(page.Image.width(), Pixels(200, 150), 1);
    EXPECT_NEAR(page.Image.height(), Pixels(200, 150), 1);
}

// Without an area the device scans its own (80 x 100 mm in test.conf).
TEST(ScannerScan, NoAreaLeavesTheDevicesOwn) {
    UseSaneBackends({"test"});
    const TScannedPage page = Scan(TestScan(150, TScanColour::Grey, {}));
    EXPECT_NEAR(page.Image.width(), Pixels(80, 150), 1);
    EXPECT_NEAR(page.Image.height(), Pixels(100, 150), 1);
}

// A colour device that sends red, green and blue one after the other, in
// any order, gives the same page as one that sends them together.
TEST(ScannerScan, ThreePassColourIsAssembledInTheFramesOrder) {
    UseSaneBackends({"test"});
    const QList<QPair<QString, QString>> pattern{{"test-picture", "Color pattern"}};
    const TScannedPage single = Scan(TestScan(75, TScanColour::Colour, {60, 40}, pattern));
    const TScannedPage threePass =
        Scan(TestScan(75, TScanColour::Colour, {60, 40},
                      pattern + QList<QPair<QString, QString>>{{"three-pass", "yes"}, {"three-pass-order", "BRG"}}));
    ASSERT_FALSE(single.Image.isNull());
    EXPECT_EQ(threePass.Image, single.Image);
    EXPECT_GT(single.Image.convertToFormat(QImage::Format_Indexed8).colorCount(), 4);
}

TEST(ScannerScan, ErrorOfTheDeviceIsToldInGerman) {
    UseSaneBackends({"test"});
    const auto failure = [](const QString& status) {
        return MessageOfError<EScan>([&] {
            Scan(TestScan(75, TScanColour::Grey, {50, 50}, {{"read-return-value", "SANE_STATUS_" + status}}));
        });
    };
    EXPECT_EQ(failure("JAMMED"), "Der Scan mit „test:0“ ist fehlgeschlagen: Papierstau im Scanner");
    EXPECT_EQ(failure("COVER_OPEN"), "Der Scan mit „test:0“ ist fehlgeschlagen: der Deckel des Scanners ist offen");
    // A device gone in the middle of the scan.
    EXPECT_EQ(failure("IO_ERROR"), "Der Scan mit „test:0“ ist fehlgeschlagen: die Verbindung zum Scanner ist "
                                   "abgebrochen; prüfen Sie, ob er angeschlossen und eingeschaltet ist");
    EXPECT_TRUE(failure("ACCESS_DENIED").contains("keine Rechte für den Scanner"));
}

TEST(ScannerScan, DeviceThatIsNoLongerThereIsNamed) {
    UseSaneBackends({"test"});
    TScanRequest request = TestScan(150, TScanColour::Grey, {50, 50});
    request.Device = "test:7";
    EXPECT_EQ(MessageOfError<EScan>([&] { Scan(request); }),
              "Der Scanner „test:7“ ist nicht erreichbar; prüfen Sie, ob er angeschlossen und eingeschaltet ist");
    // Not SANE's first device, whichever that is.
    request.Device.clear();
    EXPECT_EQ(MessageOfError<EScan>([&] { Scan(request); }), NoScannerMessage());
}

// The pnm backend serves a file as the scanned page: its pixels arrive
// unchanged, at the resolution the device reports, which is the one it
// has nearest to the one asked for.
TEST(ScannerScan, PnmFileArrivesUnchanged) {
    UseSaneBackends({"pnm"});
    QTemporaryDir dir;
    QImage page(173, 91, QImage::Format_RGB888);
    QRandomGenerator random(22);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width() * 3; ++x) page.scanLine(y)[x] = uchar(random.bounded(256));
    const QString file = dir.filePath("page.ppm");
    ASSERT_TRUE(page.save(file, "PPM"));

    for (const int asked : {150, 600}) {
        TScanRequest request;
        request.Device = "pnm:0";
        request.Dpi = asked;
        request.Colour = TScanColour::Colour;
        request.AreaMm = {210, 297};
        request.DeviceOptions = {{"filename", file}};
        const TScannedPage scanned = Scan(request);
        EXPECT_EQ(scanned.Image, page) << asked;
        // Its resolutions are 75 to 300 dpi.
        const double dpi = std::min(asked, 300);
        EXPECT_EQ(scanned.Dpi, QSizeF(dpi, dpi));
    }
}

TEST(ScannerScan, PnmFileThatIsMissingIsAnError) {
    UseSaneBackends({"pnm"});
    QTemporaryDir dir;
    TScanRequest request;
    request.Device = "pnm:0";
    request.DeviceOptions = {{"filename", dir.filePath("missing.ppm")}};
    EXPECT_TRUE(MessageOfError<EScan>([&] { Scan(request); }).startsWith("Der Scan mit „pnm:0“ ist fehlgeschlagen: "));
}
