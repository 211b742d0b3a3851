// The fill swatch, repainted at every change of pattern or colour.
#include "app/main_form.h"
#include "bench/bench_support.h"
#include "controls/radio_group.h"
#include "platform/paintbox.h"
#include "ui_main_form.h"

#include <QTabWidget>
#include <benchmark/benchmark.h>

using namespace mx;

namespace {

// A click in the fill list: the swatch drawn and put on screen. Goal: 1 ms.
void SwatchPaint(benchmark::State& state) {
    auto form = bench::MakeForm(bench::TWindow::Design);
    // The swatch is on the style tab; hidden, it would never reach the screen.
    form->Controls().PageControl2->setCurrentWidget(form->Controls().TabSheet2);
    form->Controls().fillBox->setItemIndex(int(state.range(0)));
    bench::Flush();
    TPaintBox* swatch = form->Controls().PaintBox2;
    const int paintsBefore = swatch->PaintCount();
    for (auto _ : state) {
        form->fillBoxClick(form->Controls().fillBox);
        bench::Flush();
    }
    state.counters["swatch_px"] = double(swatch->width()) * swatch->height();
    state.counters["swatch_visible"] = swatch->isVisible();
    // The click draws at once; a repaint from Qt would show up here.
    state.counters["extra_paints"] = double(swatch->PaintCount() - paintsBefore);
    state.SetLabel("goal <= 1 ms");
}
// Solid, and the densest hatch.
BENCHMARK(SwatchPaint)->Arg(0)->Arg(2)->ArgName("fill")->Unit(benchmark::kMicrosecond);

} // namespace
