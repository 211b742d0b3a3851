// Benchmarks of what users feel: one drag step in the preview, and a print
// job to PDF. Run: build/bench/marbelux-bench
#include "app/main_form.h"
#include "controls/num_spin_edit.h"
#include "platform/application.h"
#include "platform/paintbox.h"
#include "platform/qt_application.h"
#include "platform/qt_printer.h"
#include "platform/test_printer.h"
#include "ui_main_form.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <fstream>
#include <optional>

using namespace mx;

namespace {

void flush() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Answers the security question with Yes and the file question with a path.
class BenchAnswerer : public TAnswerer {
public:
    QString file;
    int MessageBox(const QString&, const QString&, int) override { return IDYES; }
    std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
    bool PrinterSetup(QPrinter&) override { return false; }
    std::optional<QString> SaveFileName(const QString&, const QString&) override { return file; }
};

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

std::unique_ptr<TMainForm> makeForm() {
    SetPrinter(std::make_unique<TTestPrinter>());
    auto form = std::make_unique<TMainForm>();
    form->show();
    QTest::qWaitForWindowExposed(form.get());
    flush();
    return form;
}

// One mouse move during a drag: four field writes with their nested edge
// rules, and the preview and both rulers brought up to date on screen.
void DragStep(benchmark::State& state) {
    const int zoom = int(state.range(0));
    auto form = makeForm();
    form->Controls().ZoomEd->SetValue(zoom);
    flush();
    TPaintBox* preview = form->Controls().PaintBox1;
    // Drag the bottom-right corner of a new area back and forth.
    const int x0 = form->OriginX + 20, y0 = form->OriginY + 20;
    form->PaintBox1MouseMove({}, x0, y0);
    form->PaintBox1MouseDown(Qt::LeftButton, {}, x0, y0);
    flush();
    const int paintsBefore = preview->PaintCount();
    int step = 0;
    for (auto _ : state) {
        const int d = 40 + (step++ % 2) * 37;
        form->PaintBox1MouseMove({}, x0 + d, y0 + d);
        flush();
    }
    form->PaintBox1MouseUp(Qt::LeftButton, {}, x0, y0);
    state.counters["preview_paints_per_step"] = double(preview->PaintCount() - paintsBefore) / double(step);
    state.counters["rss_MiB"] = double(residentKiB()) / 1024.0;
    state.counters["buffer_px"] = double(preview->BufferRect().width()) * preview->BufferRect().height();
}
BENCHMARK(DragStep)->Arg(30)->Arg(100)->Arg(500)->ArgName("zoom")->Unit(benchmark::kMicrosecond);

// A whole front job of n copies into a PDF file.
void PrintJobPdf(benchmark::State& state) {
    const int copies = int(state.range(0));
    QTemporaryDir dir;
    auto answerer = std::make_unique<BenchAnswerer>();
    answerer->file = dir.filePath("bench.pdf");
    auto previousAnswerer = Application()->SetAnswerer(std::move(answerer));
    auto form = makeForm();
    SetPrinter(std::make_unique<TQtPrinter>(TQtPrinter::TOutput::Pdf));
    form->Controls().CopiesED->SetValue(copies);
    Printer()->AbortProc = nullptr;
    for (auto _ : state) form->PrintBtnClick(form.get());
    state.counters["pdf_KiB"] = double(QFileInfo(dir.filePath("bench.pdf")).size()) / 1024.0;
    form.reset();
    Application()->SetAnswerer(std::move(previousAnswerer));
}
BENCHMARK(PrintJobPdf)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TQtApplication app(argc, argv);
    Application()->Title = "Marbelux 1.0";
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
