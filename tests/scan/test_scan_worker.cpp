// Scanning on the worker's thread: progress, the page, failures and
// cancelling arrive as signals while the window's thread goes on.
#include "scan/scan_jobs.h"
#include "scan/scanner.h"
#include "tests/scan/sane_test_setup.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;
using mx::test::TestScan;
using mx::test::UseSaneBackends;

namespace {

constexpr int WaitMs = 60000;

// The test device pauses 0.2 s after each 64 KiB it sends: 150 x 150 mm
// at 150 dpi in grey take more than a second.
const QList<QPair<QString, QString>> SlowDevice{{"read-delay", "yes"}, {"read-delay-duration", "200000"}};
const QSizeF SlowArea(150, 150);

QList<int> Percents(const QSignalSpy& spy) {
    QList<int> percents;
    for (const QList<QVariant>& signal : spy) percents << signal.at(0).toInt();
    return percents;
}

} // namespace

TEST(ScanWorker, ReportsProgressThenThePageAndItsResolution) {
    UseSaneBackends({"test"});
    TScanWorker worker(TestScan(150, TScanColour::Grey, SlowArea, SlowDevice));
    QSignalSpy progress(&worker, &TScanWorker::Progress);
    QSignalSpy finished(&worker, &TScanWorker::Finished);
    QSignalSpy failed(&worker, &TBackgroundJob::Failed);
    worker.Start();
    EXPECT_TRUE(worker.Running());
    ASSERT_TRUE(finished.wait(WaitMs)) << failed.value(0).value(0).toString().toStdString();
    EXPECT_FALSE(worker.Running());
    const QImage image = finished.at(0).at(0).value<QImage>();
    EXPECT_EQ(image.size(), QSize(885, 885));
    EXPECT_EQ(finished.at(0).at(1).toSizeF(), QSizeF(150, 150));

    const QList<int> percents = Percents(progress);
    ASSERT_GE(percents.size(), 3) << "a scan of seconds shows its progress on the way";
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_LT(percents.front(), 50);
    EXPECT_EQ(percents.back(), 100);
}

TEST(ScanWorker, CancelStopsTheDeviceMidScan) {
    UseSaneBackends({"test"});
    TScanWorker worker(TestScan(150, TScanColour::Grey, SlowArea, SlowDevice));
    QSignalSpy progress(&worker, &TScanWorker::Progress);
    QSignalSpy finished(&worker, &TScanWorker::Finished);
    QSignalSpy cancelled(&worker, &TBackgroundJob::Cancelled);
    worker.Start();
    ASSERT_TRUE(progress.wait(WaitMs));
    worker.Cancel();
    ASSERT_TRUE(cancelled.wait(WaitMs));
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_LT(Percents(progress).back(), 100);
    // The device is free again for the next scan.
    TScanWorker next(TestScan(75, TScanColour::Grey, {20, 20}));
    QSignalSpy nextFinished(&next, &TScanWorker::Finished);
    next.Start();
    EXPECT_TRUE(nextFinished.wait(WaitMs));
}

TEST(ScanWorker, DeviceFailureArrivesAsGermanMessage) {
    UseSaneBackends({"test"});
    TScanWorker worker(TestScan(150, TScanColour::Grey, {50, 50}, {{"read-return-value", "SANE_STATUS_NO_DOCS"}}));
    QSignalSpy failed(&worker, &TBackgroundJob::Failed);
    QSignalSpy finished(&worker, &TScanWorker::Finished);
    worker.Start();
    ASSERT_TRUE(failed.wait(WaitMs));
    EXPECT_EQ(failed.at(0).at(0).toString(), "Der Scan mit „test:0“ ist fehlgeschlagen: im Scanner liegt kein Blatt");
    EXPECT_TRUE(finished.isEmpty());
}

// A worker dropped in the middle of a scan (its window closed) does not
// hold up the window's thread; the scan ends on its own and the device is
// free for the next.
TEST(ScanWorker, DroppedMidScanLetsTheNextScanRun) {
    UseSaneBackends({"test"});
    auto worker = std::make_unique<TScanWorker>(TestScan(150, TScanColour::Grey, SlowArea, SlowDevice));
    QSignalSpy progress(worker.get(), &TScanWorker::Progress);
    worker->Start();
    ASSERT_TRUE(progress.wait(WaitMs));
    worker.reset();
    TScanWorker next(TestScan(75, TScanColour::Colour, {30, 20}));
    QSignalSpy finished(&next, &TScanWorker::Finished);
    next.Start();
    ASSERT_TRUE(finished.wait(WaitMs));
    EXPECT_EQ(finished.at(0).at(0).value<QImage>().format(), QImage::Format_RGB888);
}

TEST(ScannerSearch, FindsTheScannersOnItsThread) {
    mx::test::WriteSaneConfig({"test"});
    TScannerSearch search(true);
    QSignalSpy finished(&search, &TScannerSearch::Finished);
    search.Start();
    ASSERT_TRUE(finished.wait(WaitMs));
    EXPECT_EQ(finished.at(0).at(0).value<QList<TScannerInfo>>().size(), 2);
}
