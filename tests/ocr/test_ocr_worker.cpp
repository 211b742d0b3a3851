// Reading a scan on the worker's thread: progress, the words or "Kein Text
// gefunden", cancelling; and the module, loaded only when first needed.
#include "ocr/ocr_worker.h"
#include "ocr/text_recognition.h"
#include "tests/ocr/letter_scan.h"
#include "tests/support/mapped_libraries.h"
#include "tests/support/test_support.h"

#include <QSignalSpy>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace mx;

namespace {

constexpr int WaitMs = 120000;

const test::TLetterScan& Letter() {
    static const test::TLetterScan scan = test::ScanOfLetter(300);
    return scan;
}

} // namespace

TEST(OcrWorker, ReportsProgressThenTheWords) {
    ASSERT_TRUE(Letter().Error.isEmpty()) << Letter().Error.toStdString();
    TOcrWorker worker(Letter().Image, Letter().Dpi);
    QSignalSpy progress(&worker, &TOcrWorker::Progress);
    QSignalSpy finished(&worker, &TOcrWorker::Finished);
    QSignalSpy failed(&worker, &TBackgroundJob::Failed);
    worker.Start();
    ASSERT_TRUE(finished.wait(WaitMs)) << failed.value(0).value(0).toString().toStdString();
    const auto words = finished.at(0).at(0).value<TTextWords>();
    EXPECT_TRUE(test::LineContains(words, test::LetterIban));
    QList<int> percents;
    for (const QList<QVariant>& signal : progress) percents << signal.at(0).toInt();
    ASSERT_GE(percents.size(), 3);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
}

TEST(OcrWorker, CancelStopsTheReading) {
    ASSERT_TRUE(Letter().Error.isEmpty()) << Letter().Error.toStdString();
    TOcrWorker worker(Letter().Image, Letter().Dpi);
    QSignalSpy progress(&worker, &TOcrWorker::Progress);
    QSignalSpy finished(&worker, &TOcrWorker::Finished);
    QSignalSpy cancelled(&worker, &TBackgroundJob::Cancelled);
    worker.Start();
    ASSERT_TRUE(progress.wait(WaitMs));
    worker.Cancel();
    ASSERT_TRUE(cancelled.wait(WaitMs));
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_LT(progress.back().at(0).toInt(), 100);
}

TEST(OcrWorker, BlankPageArrivesAsNoText) {
    QImage blank(1240, 1754, QImage::Format_RGB32);
    blank.fill(Qt::white);
    TOcrWorker worker(blank, 150);
    QSignalSpy failed(&worker, &TBackgroundJob::Failed);
    worker.Start();
    ASSERT_TRUE(failed.wait(WaitMs));
    EXPECT_EQ(failed.at(0).at(0).toString(), "Kein Text gefunden");
}

// Each case in a process of its own, where no other test has loaded the
// module yet.
class OcrModule : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(OcrModule, TesseractIsLoadedOnlyWithTheFirstPage) {
    EXPECT_EXIT(
        {
            if (test::IsLibraryMapped("libtesseract.so") || test::IsLibraryMapped("libmarbelux-ocr")) std::exit(1);
            QImage blank(200, 100, QImage::Format_Grayscale8);
            blank.fill(255);
            TJobControl control;
            test::MessageOfError<EOcr>([&] { RecogniseText(blank, 300, control); });
            std::exit(test::IsLibraryMapped("libtesseract.so") ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(OcrModule, MissingModuleIsToldInGerman) {
    EXPECT_EXIT(
        {
            qputenv("MARBELUX_MODULE_DIR", "/nonexistent");
            QImage page(200, 100, QImage::Format_Grayscale8);
            page.fill(255);
            TJobControl control;
            const QString message = test::MessageOfError<EOcr>([&] { RecogniseText(page, 300, control); });
            std::fputs(message.toUtf8().constData(), stderr);
            std::exit(message.isEmpty() ? 1 : 0);
        },
        testing::ExitedWithCode(0),
        "Marbelux kann den Text des Scans nicht lesen: die Texterkennung \\(libmarbelux-ocr\\.so\\) ist nicht "
        "installiert");
}
