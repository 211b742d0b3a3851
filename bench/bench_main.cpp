// Benchmarks of what users feel, each with its goal in its comment and its
// label. Run: build/bench/marbelux-bench --benchmark_repetitions=5
#include "bench/bench_startup.h"
#include "platform/application.h"
#include "platform/qt_application.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace mx;

namespace {

// The offscreen platform's screen is small by default; this one is a
// common desktop, so that a maximised window is 1920 x 1080.
bool writeScreenConfig(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(
        R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 1}]})");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // The probe inherits the platform settings from the benchmark process.
    if (bench::IsProbe()) return bench::RunProbe(argc, argv);
    QTemporaryDir dir;
    const QString screens = dir.filePath("screens.json");
    if (!writeScreenConfig(screens)) return 1;
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TQtApplication app(argc, argv);
    Application()->Title = "Marbelux 1.0";
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
