#include "bench/bench_support.h"

#include "app/main_form.h"
#include "controls/num_spin_edit.h"
#include "platform/paintbox.h"
#include "platform/printer.h"
#include "tests/support/test_printer.h"
#include "ui_main_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>
#include <fstream>
#include <string>

namespace bench {

using namespace mx;

void Flush() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool PreviewDrawn(TMainForm& form) {
    // The sheet's outline starts at the origin; before the first drawing
    // the buffer holds only the background.
    TPaintBox* preview = form.Controls().PaintBox1;
    return form.AreaInitialised && preview->PixelAt(form.OriginX, form.OriginY) == clBlack;
}

namespace {

// A window placement stored by an earlier benchmark's window would change
// this one's size.
void clearSettings() {
    QDir dir(qEnvironmentVariable("XDG_CONFIG_HOME"));
    for (const QString& name : dir.entryList({"*.INI"}, QDir::Files)) dir.remove(name);
}

// Until the preview has drawn the sheet in a paint after paintsBefore.
void waitForPreview(TMainForm& form, int paintsBefore = -1) {
    TPaintBox* preview = form.Controls().PaintBox1;
    const auto done = [&] { return preview->PaintCount() > paintsBefore && PreviewDrawn(form); };
    for (int i = 0; i < 100 && !done(); ++i) {
        Flush();
        if (!done()) QTest::qWait(1);
    }
}

} // namespace

std::unique_ptr<TMainForm> MakeForm(TWindow window) {
    clearSettings();
    SetPrinter(std::make_unique<TTestPrinter>());
    auto form = std::make_unique<TMainForm>();
    form->show();
    waitForPreview(*form);
    // Maximised by the user once shown: the first show restores the
    // placement, which is the normal window on a first start.
    if (window == TWindow::Maximised) {
        form->showMaximized();
        Flush();
        waitForPreview(*form);
    }
    return form;
}

void SetZoom(TMainForm& form, int zoom) {
    const int paintsBefore = form.Controls().PaintBox1->PaintCount();
    form.Controls().ZoomEd->SetValue(zoom);
    Flush();
    waitForPreview(form, paintsBefore);
}

double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return double(kib) / 1024.0;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

} // namespace bench
