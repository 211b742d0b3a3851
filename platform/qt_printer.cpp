#include "platform/qt_printer.h"

#include "platform/application.h"
#include "platform/canvas.h"
#include "platform/exception.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <cstring>
#include <cups/cups.h>

namespace mx {

namespace {

const char* const NoDefaultPrinter = "Zur Zeit ist kein Standard-Drucker gewählt";

// Qt's key for the extra CUPS options chosen in its print dialog.
constexpr auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// CUPS names a queue "name" or "name/instance".
QByteArray queueName(const QString& printer) { return printer.section('/', 0, 0).toLocal8Bit(); }

// Qt hands a job to the queue without looking at the answer, so a queue
// that refuses it would lose the document silently: ask first.
void checkQueueTakesJobs(const QString& printer) {
    const QByteArray instance = printer.section('/', 1).toLocal8Bit();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queueName(printer).constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (!dest) throw EPrinter(QString("Der Drucker %1 ist nicht erreichbar").arg(printer));
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const bool refuses = accepting && std::strcmp(accepting, "false") == 0;
    const bool stopped = state && std::strcmp(state, "5") == 0;
    cupsFreeDests(1, dest);
    if (refuses) throw EPrinter(QString("Der Drucker %1 nimmt zur Zeit keine Aufträge an").arg(printer));
    if (stopped) throw EPrinter(QString("Der Drucker %1 ist angehalten").arg(printer));
}

// Hands the finished spool file to the queue with the options Qt itself
// would send for this printer's settings.
void submitToQueue(QPrinter& printer, const QString& file, const QString& title) {
    int count = 0;
    cups_option_t* options = nullptr;
    auto add = [&](const char* name, const QByteArray& value) {
        count = cupsAddOption(name, value.constData(), count, &options);
    };

    const QPageLayout layout = printer.pageLayout();
    add("media", layout.pageSize().key().toLocal8Bit());
    if (printer.copyCount() > 1) add("copies", QByteArray::number(printer.copyCount()));
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    switch (printer.duplex()) {
    case QPrinter::DuplexNone: add("sides", "one-sided"); break;
    case QPrinter::DuplexAuto: add("sides", portrait ? "two-sided-long-edge" : "two-sided-short-edge"); break;
    case QPrinter::DuplexLongSide: add("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: add("sides", "two-sided-short-edge"); break;
    }
    if (!portrait) add("landscape", "");
    const QStringList extra = printer.printEngine()->property(CupsOptionsKey).toStringList();
    for (qsizetype i = 0; i + 1 < extra.size(); i += 2)
        add(extra[i].toLocal8Bit().constData(), extra[i + 1].toLocal8Bit());

    const int job = cupsPrintFile(queueName(printer.printerName()).constData(), QFile::encodeName(file).constData(),
                                  title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job == 0)
        throw EPrinter(QString("Der Drucker %1 hat den Auftrag nicht angenommen: %2")
                           .arg(printer.printerName(), QString::fromUtf8(cupsLastErrorString())));
}

} // namespace

TQtPrinter::TQtPrinter(TOutput output) : output_(output) {}

TQtPrinter::~TQtPrinter() {
    if (Printing()) DiscardDocument();
}

std::unique_ptr<QPrinter> TQtPrinter::makeDevice(bool forSetup) const {
    std::unique_ptr<QPrinter> printer;
    if (output_ == TOutput::Pdf || QPrinterInfo::availablePrinters().isEmpty()) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
    } else {
        QPrinterInfo info = QPrinterInfo::defaultPrinter();
        // The setup dialog is where a printer gets chosen, so it may start
        // from any queue.
        if (info.isNull() && forSetup) info = QPrinterInfo::availablePrinters().constFirst();
        if (info.isNull()) throw EPrinter(NoDefaultPrinter);
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        if (!printer->isValid()) throw EPrinter(NoDefaultPrinter);
    }
    // Page coordinates start at the printable area's corner.
    printer->setFullPage(false);
    return printer;
}

QPrinter& TQtPrinter::Device() {
    if (!printer_) printer_ = makeDevice(false);
    return *printer_;
}

bool TQtPrinter::WritesPdf() { return Device().outputFormat() == QPrinter::PdfFormat; }

void TQtPrinter::refreshCaps() {
    QPrinter& printer = Device();
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    caps_ = TCaps{dpi, dpi, paper.width(), paper.height(), printable.left(), printable.top()};
}

int TQtPrinter::GetDeviceCaps(int index) {
    if (!caps_) refreshCaps();
    switch (index) {
    case LOGPIXELSX: return caps_->dpiX;
    case LOGPIXELSY: return caps_->dpiY;
    case PHYSICALWIDTH: return caps_->width;
    case PHYSICALHEIGHT: return caps_->height;
    case PHYSICALOFFSETX: return caps_->offsetX;
    case PHYSICALOFFSETY: return caps_->offsetY;
    default: return 0;
    }
}

bool TQtPrinter::StartDocument() {
    QPrinter& printer = Device();
    QString target;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        QString name = Title().isEmpty() ? QString("Dokument") : Title();
        name.replace('/', '-');
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const auto chosen = Application()->SaveFileName("Druckausgabe speichern", folder + '/' + name + ".pdf");
        if (!chosen) return false;
        pdfPath_ = target = *chosen;
    } else {
        checkQueueTakesJobs(printer.printerName());
        spool_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/marbelux-XXXXXX.prn");
        if (!spool_->open()) {
            spool_.reset();
            throw EPrinter("Die Druckdatei kann nicht angelegt werden");
        }
        target = spool_->fileName();
    }
    printer.setOutputFileName(target);
    printer.setDocName(Title());
    printer.setCreator(Application()->Title);
    refreshCaps();

    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer)) {
        // A file that could not be opened is not ours to delete.
        pdfPath_.clear();
        DiscardDocument();
        throw EPrinter(QString("Die Datei %1 kann nicht geschrieben werden").arg(QDir::toNativeSeparators(target)));
    }
    canvas_ = std::make_unique<TCanvas>(painter_.get());
    return true;
}

void TQtPrinter::StartNextPage() {
    canvas_.reset();
    if (!printer_->newPage()) throw EPrinter("Die nächste Seite kann nicht begonnen werden");
    painter_->setClipping(false);
    canvas_ = std::make_unique<TCanvas>(painter_.get());
}

void TQtPrinter::FinishDocument() {
    canvas_.reset();
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended) throw EPrinter("Das Dokument kann nicht abgeschlossen werden");
    if (spool_) {
        submitToQueue(*printer_, spool_->fileName(), Title());
        spool_.reset();
        printer_->setOutputFileName(QString());
    }
    pdfPath_.clear();
}

void TQtPrinter::closePainter() noexcept {
    canvas_.reset();
    if (painter_ && painter_->isActive()) painter_->end();
    painter_.reset();
}

void TQtPrinter::DiscardDocument() noexcept {
    closePainter();
    if (!pdfPath_.isEmpty()) QFile::remove(pdfPath_);
    pdfPath_.clear();
    if (spool_) {
        spool_.reset();
        printer_->setOutputFileName(QString());
    }
}

TCanvas& TQtPrinter::PageCanvas() { return *canvas_; }

bool TQtPrinter::RunSetup() {
    std::unique_ptr<QPrinter> made;
    QPrinter* printer = printer_.get();
    if (!printer) {
        made = makeDevice(true);
        printer = made.get();
    }
    const bool confirmed = Application()->PrinterSetup(*printer);
    if (made && confirmed) printer_ = std::move(made);
    caps_.reset();
    return confirmed;
}

} // namespace mx
