#include "bench/bench_support.h"

#include "app/main_form.h"
#include "backdrop/backdrop_panel.h"
#include "controls/num_spin_edit.h"
#include "platform/paintbox.h"
#include "platform/printer.h"
#include "tests/support/test_printer.h"
#include "ui_main_form.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
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
    form.Controls().ZoomEd->setValue(zoom);
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

QByteArray LetterPdf() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p(&writer);
    const auto mm = [](double v) { return v / 25.4 * 600; };
    p.fillRect(QRectF(mm(20), mm(12), mm(30), mm(18)), QColor(20, 60, 140));
    p.setFont(QFont("Liberation Sans", 16, QFont::Bold));
    p.drawText(QPointF(mm(55), mm(24)), "Muster & Söhne GmbH");
    p.setFont(QFont("Liberation Sans", 10));
    for (int i = 0; i < 4; ++i) p.drawText(QPointF(mm(20), mm(50 + 5 * i)), QString("Adresszeile %1").arg(i + 1));
    const QString line = "Sehr geehrte Damen und Herren, hiermit erlauben wir uns, Ihnen folgende Leistungen %1";
    for (int i = 0; i < 45; ++i) p.drawText(QPointF(mm(20), mm(80 + 4.4 * i)), line.arg(i));
    p.setPen(QPen(Qt::black, mm(0.2)));
    for (int r = 0; r <= 8; ++r) p.drawLine(QPointF(mm(20), mm(285 - 4 * r)), QPointF(mm(190), mm(285 - 4 * r)));
    p.end();
    return buffer.data();
}

QString LetterPdfFile() {
    static QTemporaryDir dir;
    const QString path = dir.filePath("brief.pdf");
    if (!QFile::exists(path)) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(LetterPdf());
    }
    return path;
}

void UseTheBuildsModules() {
    if (!qEnvironmentVariableIsSet("MARBELUX_MODULE_DIR")) qputenv("MARBELUX_MODULE_DIR", MARBELUX_MODULE_DIR);
}

void OpenBackdrop(TMainForm& form, const QString& file) {
    form.OpenBackdrop(file);
    auto* panel = form.findChild<TBackdropPanel*>();
    if (!QTest::qWaitFor([&] { return !panel->Loading(); }, 60000))
        qFatal("backdrop %s did not load", qPrintable(file));
    Flush();
}

} // namespace bench
