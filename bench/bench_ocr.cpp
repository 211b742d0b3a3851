// Reading a scanned page: the time for an A4 letter at 300 dpi, how well
// the letter is read at 150, 300 and 600 dpi, and how long the window's
// event loop stalls while the worker reads. The scans are made as the
// tests make them (tests/ocr/letter_scan.h): a PDF letter rendered in grey
// with light noise and a skew of 0.5 degrees.
#include "bench/bench_support.h"
#include "ocr/ocr_worker.h"
#include "ocr/text_recognition.h"
#include "platform/background_job.h"
#include "tests/ocr/letter_scan.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>
#include <QTimer>
#include <benchmark/benchmark.h>

using namespace mx;

namespace {

const test::TLetterScan& LetterAt(int dpi) {
    static QMap<int, test::TLetterScan> scans;
    if (!scans.contains(dpi)) scans.insert(dpi, test::ScanOfLetter(dpi));
    return scans[dpi];
}

bool Ready(benchmark::State& state, const test::TLetterScan& scan) {
    bench::UseTheBuildsModules();
    if (scan.Error.isEmpty()) return true;
    state.SkipWithError(scan.Error.toStdString().c_str());
    return false;
}

// One page read on this thread, start to words. Goal: <= 3 s at 300 dpi.
void OcrLetterPage(benchmark::State& state) {
    const int dpi = int(state.range(0));
    const test::TLetterScan& scan = LetterAt(dpi);
    if (!Ready(state, scan)) return;
    TTextWords words;
    for (auto _ : state) {
        TJobControl control;
        words = RecogniseText(scan.Image, dpi, control);
    }
    const test::TAccuracy accuracy = test::MeasureAccuracy(words, scan);
    state.counters["words"] = accuracy.Words;
    state.counters["found_pct"] = accuracy.Percent();
    state.counters["at_ink_pct"] = accuracy.PercentAtInk();
    state.counters["worst_ink_mm"] = accuracy.WorstInkEdgeMm;
    state.counters["iban_email"] =
        test::LineContains(words, test::LetterIban) +
        std::count_if(words.begin(), words.end(), [](const TTextWord& w) { return w.Text == test::LetterEmail; });
    state.SetLabel(dpi == 300 ? "goal <= 3 s, found >= 95 %" : "beside 300 dpi");
}
BENCHMARK(OcrLetterPage)
    ->Arg(150)
    ->Arg(300)
    ->Arg(600)
    ->ArgName("dpi")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The window's thread while the worker reads the 300 dpi letter: a timer
// ticks every 5 ms; the longest time between two ticks is the longest the
// window would not have answered. Goal: <= 50 ms.
void OcrWindowStall(benchmark::State& state) {
    const test::TLetterScan& scan = LetterAt(300);
    if (!Ready(state, scan)) return;
    double longest = 0, ticks = 0;
    for (auto _ : state) {
        TOcrWorker worker(scan.Image, scan.Dpi);
        QEventLoop loop;
        QObject::connect(&worker, &TOcrWorker::Finished, &loop, &QEventLoop::quit);
        QObject::connect(&worker, &TBackgroundJob::Failed, &loop, &QEventLoop::quit);
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(5);
        QElapsedTimer since;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, since.nsecsElapsed() / 1e6);
            since.restart();
            ++ticks;
        });
        since.start();
        tick.start();
        worker.Start();
        loop.exec();
    }
    state.counters["longest_gap_ms"] = longest;
    state.counters["ticks"] = ticks;
    state.SetLabel("goal: longest gap <= 50 ms");
}
BENCHMARK(OcrWindowStall)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
