#include "platform/qt_printer.h"

#include "platform/application.h"
#include "platform/canvas.h"
#include "platform/cups_queue.h"
#include "platform/exception.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace mx {

namespace {

const char* const NoDefaultPrinter = "Zur Zeit ist kein Standard-Drucker gewählt";

bool IsQueue(const QPrinter& printer) { return printer.outputFormat() == QPrinter::NativeFormat; }

// Page coordinates start at the printable area's corner.
std::unique_ptr<QPrinter> MakePdfDevice(const QPrinter* layoutOf) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    if (layoutOf) printer->setPageLayout(layoutOf->pageLayout());
    printer->setResolution(TQtPrinter::DefaultDpi);
    printer->setFullPage(false);
    return printer;
}

void UseQueueResolution(QPrinter& printer) {
    const int dpi = QueueResolution(printer.printerName());
    printer.setResolution(dpi > 0 ? dpi : TQtPrinter::DefaultDpi);
}

std::unique_ptr<QPrinter> MakeQueueDevice(const QPrinterInfo& info) {
    if (info.isNull()) throw EPrinter(NoDefaultPrinter);
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid()) throw EPrinter(NoDefaultPrinter);
    UseQueueResolution(*printer);
    printer->setFullPage(false);
    return printer;
}

} // namespace

TQtPrinter::TQtPrinter(TOutput output, TProbe probe) : output_(output), probe_(std::move(probe)) {}

TQtPrinter::~TQtPrinter() {
    if (Printing()) DiscardDocument();
}

void TQtPrinter::Refresh() {
    // Never while a document is open: its pages must share one layout.
    if (Printing()) return;
    caps_.reset();
    if (output_ == TOutput::Pdf) {
        if (!printer_) printer_ = MakePdfDevice(nullptr);
        return;
    }
    switch (probe_(&server_)) {
    case TPrintSystem::Unreachable:
        if (!fallback_) fallback_ = MakePdfDevice(printer_.get());
        return;
    case TPrintSystem::Absent:
        fallback_.reset();
        if (!printer_ || IsQueue(*printer_)) printer_ = MakePdfDevice(printer_.get());
        return;
    case TPrintSystem::Ready:
        fallback_.reset();
        // A queue keeps what the setup chose for it.
        if (printer_ && IsQueue(*printer_)) return;
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            if (!printer_) printer_ = MakePdfDevice(nullptr);
            return;
        }
        printer_ = MakeQueueDevice(QPrinterInfo::defaultPrinter());
        return;
    }
}

QPrinter& TQtPrinter::Device() {
    if (!printer_ && !fallback_) Refresh();
    return fallback_ ? *fallback_ : *printer_;
}

bool TQtPrinter::WritesPdf() { return Device().outputFormat() == QPrinter::PdfFormat; }

QString TQtPrinter::Name() {
    QPrinter& printer = Device();
    return IsQueue(printer) ? printer.printerName() : QStringLiteral("PDF");
}

void TQtPrinter::RefreshCaps() {
    QPrinter& printer = Device();
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    caps_ = TCaps{dpi, dpi, paper.width(), paper.height(), printable.left(), printable.top()};
}

int TQtPrinter::GetDeviceCaps(int index) {
    if (!caps_) RefreshCaps();
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
    if (fallback_ &&
        Application()->MessageBox(QString("Das Drucksystem (%1) antwortet nicht.\n\nSoll das Dokument stattdessen als "
                                          "PDF-Datei gespeichert werden?")
                                      .arg(server_),
                                  Application()->Title, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    QPrinter& printer = Device();
    QString target;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        QString name = Title().isEmpty() ? QString("Dokument") : Title();
        name.replace('/', '-');
        // The documents folder, or the home folder where there is none yet.
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QDir(folder).exists()) folder = QDir::homePath();
        const auto chosen = Application()->SaveFileName("Druckausgabe speichern", folder + '/' + name + ".pdf");
        if (!chosen) return false;
        pdfPath_ = target = *chosen;
    } else {
        CheckQueueTakesJobs(printer.printerName());
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
    RefreshCaps();

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
    if (!Device().newPage()) throw EPrinter("Die nächste Seite kann nicht begonnen werden");
    painter_->setClipping(false);
    canvas_ = std::make_unique<TCanvas>(painter_.get());
}

void TQtPrinter::FinishDocument() {
    canvas_.reset();
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended) throw EPrinter("Das Dokument kann nicht abgeschlossen werden");
    if (spool_) {
        SubmitToQueue(Device(), spool_->fileName(), Title());
        spool_.reset();
        Device().setOutputFileName(QString());
    }
    pdfPath_.clear();
}

void TQtPrinter::ClosePainter() noexcept {
    canvas_.reset();
    if (painter_ && painter_->isActive()) painter_->end();
    painter_.reset();
}

void TQtPrinter::DiscardDocument() noexcept {
    ClosePainter();
    if (!pdfPath_.isEmpty()) QFile::remove(pdfPath_);
    pdfPath_.clear();
    if (spool_) {
        spool_.reset();
        Device().setOutputFileName(QString());
    }
}

TCanvas& TQtPrinter::PageCanvas() { return *canvas_; }

bool TQtPrinter::RunSetup() {
    try {
        Refresh();
    } catch (const EPrinter&) {
        // Queues but no default one: the setup is where one gets chosen.
    }
    std::unique_ptr<QPrinter> made;
    QPrinter* printer = printer_ || fallback_ ? &Device() : nullptr;
    if (!printer) {
        const QList<QPrinterInfo> queues = QPrinterInfo::availablePrinters();
        if (queues.isEmpty()) throw EPrinter(NoDefaultPrinter);
        made = MakeQueueDevice(queues.constFirst());
        printer = made.get();
    }
    const bool confirmed = Application()->PrinterSetup(*printer);
    if (confirmed) {
        // Another queue may have been chosen: its own resolution applies.
        if (IsQueue(*printer)) UseQueueResolution(*printer);
        if (made) printer_ = std::move(made);
    }
    caps_.reset();
    return confirmed;
}

} // namespace mx
