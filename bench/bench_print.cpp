// A front job into a PDF file, the fallback output of a machine without a
// printer.
#include "app/main_form.h"
#include "areas/areas_panel.h"
#include "bench/bench_support.h"
#include "controls/num_spin_edit.h"
#include "controls/radio_group.h"
#include "platform/application.h"
#include "platform/printer.h"
#include "platform/qt_printer.h"
#include "ui_main_form.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>

using namespace mx;

namespace {

// Answers the security question with Yes and the file question with a path.
class BenchAnswerer : public TAnswerer {
public:
    QString file;
    int MessageBox(const QString&, const QString&, int) override { return IDYES; }
    std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
    bool PrinterSetup(QPrinter&) override { return false; }
    std::optional<QString> SaveFileName(const QString&, const QString&) override { return file; }
};

// A whole front job of n copies of the whole sheet into a PDF file, solid
// or hatched. Goal: 100 copies in at most 0.5 s and 300 KB; one copy in at
// most 0.1 s.
void PrintJobPdf(benchmark::State& state) {
    const int copies = int(state.range(0));
    const int fill = int(state.range(1));
    const int listed = int(state.range(2));
    QTemporaryDir dir;
    auto answerer = std::make_unique<BenchAnswerer>();
    answerer->file = dir.filePath("bench.pdf");
    auto previousAnswerer = Application()->SetAnswerer(std::move(answerer));
    auto form = bench::MakeForm(bench::TWindow::Design);
    SetPrinter(std::make_unique<TQtPrinter>(TQtPrinter::TOutput::Pdf));
    form->Controls().CopiesED->setValue(copies);
    form->Controls().fillBox->setItemIndex(fill);
    // Further areas in a grid over the sheet, the window's own the whole sheet.
    if (listed > 0) {
        QList<Area> areas;
        for (int i = 0; i < listed; ++i)
            areas.append({10.0 + (i % 4) * 50, 50.0 + (i % 4) * 50, 10.0 + (i / 4) * 55, 55.0 + (i / 4) * 55});
        form->findChild<TAreasPanel*>()->AddAreas(areas);
    }
    Printer()->AbortProc = nullptr;
    for (auto _ : state) form->PrintBtnClick(form.get());
    state.counters["pdf_KB"] = double(QFileInfo(dir.filePath("bench.pdf")).size()) / 1000.0;
    form.reset();
    Application()->SetAnswerer(std::move(previousAnswerer));
    state.SetLabel(copies == 1 ? "goal <= 100 ms" : "goal <= 500 ms, <= 300 KB");
}
// Fill 0 is "Einfarbig", 1 "Gekreuzt", 2 "Diagonal gekreuzt"; 20 further
// areas: goal 100 copies hatched in at most 0.5 s and 300 KB.
BENCHMARK(PrintJobPdf)
    ->ArgsProduct({{1, 100}, {0, 1, 2}, {0}})
    ->Args({100, 2, 20})
    ->ArgNames({"copies", "fill", "areas"})
    ->Unit(benchmark::kMillisecond);

} // namespace
