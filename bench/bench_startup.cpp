// Start-up time and resident memory, each measured in a fresh process: the
// benchmark runs this executable again as a probe that starts the program
// the way its main() does.
#include "bench/bench_startup.h"

#include "app/application_setup.h"
#include "app/main_form.h"
#include "bench/bench_support.h"
#include "platform/application.h"
#include "platform/qt_application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <optional>

using namespace mx;

namespace bench {

namespace {

const char* const ProbeVariable = "MARBELUX_BENCH_PROBE";

} // namespace

bool IsProbe() { return qEnvironmentVariableIsSet(ProbeVariable); }

// Prints "startup_ms rss_start_MiB rss_zoom500_MiB rss_backdrop_MiB".
int RunProbe(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    TQtApplication app(argc, argv);
    SetUpApplication();
    TMainForm* form = ShowMainForm();
    QElapsedTimer timeout;
    timeout.start();
    while (!PreviewDrawn(*form) && timeout.elapsed() < 10000) QCoreApplication::processEvents();
    if (!PreviewDrawn(*form)) return 1;
    const double startupMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const double rssStart = ResidentMiB();
    form->showMaximized();
    Flush();
    SetZoom(*form, 500);
    const double rssZoom500 = ResidentMiB();
    // Only the memory probe opens a backdrop: the start-up probe's whole
    // life stays that of a start without one.
    double rssBackdrop = 0;
    if (qEnvironmentVariable(ProbeVariable) == "backdrop") {
        UseTheBuildsModules();
        OpenBackdrop(*form, LetterPdfFile());
        rssBackdrop = ResidentMiB();
    }
    std::printf("%f %f %f %f\n", startupMs, rssStart, rssZoom500, rssBackdrop);
    delete form;
    return 0;
}

namespace {

struct ProbeResult {
    double StartupMs = 0;
    double RssStartMiB = 0;
    double RssZoom500MiB = 0;
    double RssBackdropMiB = 0;
    double ProcessMs = 0;
};

// Each probe gets settings of its own: a first start.
std::optional<ProbeResult> RunProbeProcess(bool withBackdrop) {
    QTemporaryDir settings;
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(ProbeVariable, withBackdrop ? "backdrop" : "1");
    env.insert("XDG_CONFIG_HOME", settings.path());
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer wall;
    wall.start();
    probe.start(QCoreApplication::applicationFilePath(), {});
    if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return std::nullopt;
    ProbeResult r;
    r.ProcessMs = double(wall.nsecsElapsed()) / 1e6;
    const QStringList fields = QString::fromUtf8(probe.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
    if (fields.size() != 4) return std::nullopt;
    r.StartupMs = fields[0].toDouble();
    r.RssStartMiB = fields[1].toDouble();
    r.RssZoom500MiB = fields[2].toDouble();
    r.RssBackdropMiB = fields[3].toDouble();
    return r;
}

// From just before the application object is made to the return of the
// event processing in which the preview first drew the sheet (window at its
// design size, default printer, no stored settings). The process's own
// loading before main() is not included; process_ms is the probe's whole
// life, exec to exit, including the memory probe after it.
// Goal: median at most 300 ms.
void StartupToFirstPaint(benchmark::State& state) {
    double processMs = 0;
    for (auto _ : state) {
        const auto r = RunProbeProcess(false);
        if (!r) {
            state.SkipWithError("the probe process failed");
            return;
        }
        state.SetIterationTime(r->StartupMs / 1000.0);
        processMs += r->ProcessMs;
    }
    state.counters["process_ms"] = benchmark::Counter(processMs, benchmark::Counter::kAvgIterations);
    state.SetLabel("goal <= 300 ms");
}
BENCHMARK(StartupToFirstPaint)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// The program's resident set right after its first complete paint, after
// it was maximised at 1920 x 1080 and zoomed to 500 % with the preview
// drawn (goal: both under 100 MB), and then with an A4 PDF letter as the
// backdrop (goal: under 150 MB).
void ResidentMemory(benchmark::State& state) {
    ProbeResult r;
    for (auto _ : state) {
        const auto probe = RunProbeProcess(true);
        if (!probe) {
            state.SkipWithError("the probe process failed");
            return;
        }
        r = *probe;
    }
    state.counters["rss_start_MB"] = r.RssStartMiB * 1.048576;
    state.counters["rss_zoom500_MB"] = r.RssZoom500MiB * 1.048576;
    state.counters["rss_backdrop_MB"] = r.RssBackdropMiB * 1.048576;
    state.SetLabel("goal < 100 MB, with a backdrop < 150 MB");
}
BENCHMARK(ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace bench
