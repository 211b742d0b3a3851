#include "platform/qt_printer.h"

#include "platform/application.h"
#include "platform/canvas.h"
#include "platform/cups_queue.h"
#include "platform/exception.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace mx {

namespace {

const char* const NoDefaultPrinter = "Zur Zeit ist kein Standard-Drucker gewählt";

bool IsQueue(const QPrinter& printer) { return printer.outputFormat() == QPrinter::NativeFormat; }

// Qt's page coordinates start at the paper's corner: the page transform it
// writes is then a plain scale, and the printable area's offset is added
// in whole device pixels by the page canvas (PlacePageOrigin). Left to Qt,
// the offset goes into the transform as a rounded decimal, and a fill
// meant for column 295 starts at 294.99999992.
std::unique_ptr<QPrinter> MakePdfDevice(const QPrinter* layoutOf) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    if (layoutOf) printer->setPageLayout(layoutOf->pageLayout());
    printer->setResolution(TQtPrinter::DefaultDpi);
    printer->setFullPage(true);
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
    printer->setFullPage(true);
    return printer;
}

// Device pixels of a length in points, truncated.
int PointsToPixels(double points, int dpi) { return int(std::trunc(points * dpi / 72.0)); }

// A page of whole points is rarely a whole number of device pixels high
// (A4, 842 pt, is 7016.67 pixels at 600 dpi). A rasteriser sizes its
// raster to the nearest whole row and, as PDF measures from the bottom,
// lines its rows up with the paper's bottom edge. Shifting the device
// rows by the fraction puts them on the rasteriser's rows, so an edge at
// row n is painted from row n on, not from a row split by it.
double RowAlignment(double heightPoints, int dpi) {
    const double rows = heightPoints * dpi / 72.0;
    return rows - std::floor(rows + 0.5);
}

} // namespace

// The first answer of the print system, found on a thread of its own. The
// thread owns it together with the printer and never touches the printer:
// it may outlive it.
struct TQtPrinter::TInquiry {
    std::mutex Mutex;
    std::condition_variable Answered;
    bool Done = false;
    std::atomic<bool> Abandoned{false};
    TPrintSystem System = TPrintSystem::Absent;
    QString Server;
    bool NoQueues = false;
    // The default queue, or nothing when it could not be had.
    std::unique_ptr<QPrinter> Queue;
};

TQtPrinter::TQtPrinter(TOutput output, TProbe probe) : output_(output), probe_(std::move(probe)) {}

TQtPrinter::~TQtPrinter() {
    if (inquiry_) inquiry_->Abandoned = true;
    if (Printing()) DiscardDocument();
}

void TQtPrinter::AskInBackground() {
    if (output_ == TOutput::Pdf || inquiry_ || printer_ || fallback_) return;
    inquiry_ = std::make_shared<TInquiry>();
    // Once the program is on its way out, the answer is of no use and Qt's
    // printing is no longer to be called from the thread.
    if (QCoreApplication::instance())
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                         [weak = std::weak_ptr<TInquiry>(inquiry_)] {
                             if (const auto inquiry = weak.lock()) inquiry->Abandoned = true;
                         });
    const std::weak_ptr<int> alive = alive_;
    std::thread([inquiry = inquiry_, probe = probe_, alive, this] {
        TPrintSystem system = probe(&inquiry->Server);
        bool noQueues = false;
        std::unique_ptr<QPrinter> queue;
        if (system == TPrintSystem::Ready && !inquiry->Abandoned) {
            noQueues = QPrinterInfo::availablePrinters().isEmpty();
            if (!noQueues) try {
                    queue = MakeQueueDevice(QPrinterInfo::defaultPrinter());
                } catch (const EPrinter&) {
                    // No default queue: asked again, and said, when needed.
                }
        }
        {
            const std::lock_guard lock(inquiry->Mutex);
            inquiry->System = system;
            inquiry->NoQueues = noQueues;
            inquiry->Queue = std::move(queue);
            inquiry->Done = true;
        }
        inquiry->Answered.notify_all();
        if (inquiry->Abandoned || !QCoreApplication::instance()) return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [alive, this] {
                if (alive.expired() || !inquiry_) return;
                TakeInquiry();
                if (OnReady) OnReady();
            },
            Qt::QueuedConnection);
    }).detach();
}

bool TQtPrinter::Ready() {
    if (!inquiry_) return true;
    const std::lock_guard lock(inquiry_->Mutex);
    return inquiry_->Done;
}

void TQtPrinter::TakeInquiry() {
    if (!inquiry_) return;
    const std::shared_ptr<TInquiry> inquiry = std::move(inquiry_);
    std::unique_lock lock(inquiry->Mutex);
    inquiry->Answered.wait(lock, [&] { return inquiry->Done; });
    server_ = inquiry->Server;
    caps_.reset();
    switch (inquiry->System) {
    case TPrintSystem::Unreachable: fallback_ = MakePdfDevice(nullptr); return;
    case TPrintSystem::Absent: printer_ = MakePdfDevice(nullptr); return;
    case TPrintSystem::Ready:
        if (inquiry->NoQueues)
            printer_ = MakePdfDevice(nullptr);
        else
            printer_ = std::move(inquiry->Queue);
        return;
    }
}

void TQtPrinter::Refresh() {
    // Never while a document is open: its pages must share one layout.
    if (Printing()) return;
    TakeInquiry();
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
    TakeInquiry();
    if (!printer_ && !fallback_) Refresh();
    return fallback_ ? *fallback_ : *printer_;
}

bool TQtPrinter::WritesPdf() { return Device().outputFormat() == QPrinter::PdfFormat; }

QString TQtPrinter::Name() {
    QPrinter& printer = Device();
    return IsQueue(printer) ? printer.printerName() : QStringLiteral("PDF");
}

// The paper as the document states it (whole points) and the device's
// margins, in its pixels.
void TQtPrinter::RefreshCaps() {
    QPrinter& printer = Device();
    const int dpi = printer.resolution();
    QPageLayout layout = printer.pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    const QRect paper = layout.fullRectPoints();
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    caps_ = TCaps{dpi,
                  dpi,
                  PointsToPixels(paper.width(), dpi),
                  PointsToPixels(paper.height(), dpi),
                  PointsToPixels(printable.left(), dpi),
                  PointsToPixels(printable.top(), dpi),
                  RowAlignment(paper.height(), dpi)};
}

void TQtPrinter::PlacePageOrigin() {
    painter_->resetTransform();
    painter_->translate(caps_->offsetX, caps_->offsetY + caps_->rowAlignment);
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
    PlacePageOrigin();
    canvas_ = std::make_unique<TCanvas>(painter_.get());
    return true;
}

void TQtPrinter::StartNextPage() {
    canvas_.reset();
    if (!Device().newPage()) throw EPrinter("Die nächste Seite kann nicht begonnen werden");
    painter_->setClipping(false);
    PlacePageOrigin();
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
