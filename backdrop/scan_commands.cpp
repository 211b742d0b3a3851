// The backdrop panel's scans: scanning the sheet in place, saving the page
// just scanned, and reading a scan's text so that it can be searched.
#include "backdrop/backdrop.h"
#include "backdrop/backdrop_loader.h"
#include "backdrop/backdrop_panel.h"
#include "ocr/ocr_worker.h"
#include "ocr/text_recognition.h"
#include "platform/application.h"
#include "scan/scan_dialog.h"
#include "scan/scan_file.h"
#include "scan/scan_jobs.h"

#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>

namespace mx {

void TBackdropPanel::Scan() {
    TScanRequest proposed = *lastScan_;
    proposed.AreaMm = host_.SheetSizeMm();
    TScanDialog dialog(proposed, strip_->window());
    if (Application()->ExecDialog(dialog) != QDialog::Accepted) return;
    *lastScan_ = dialog.Request();
    auto* worker = new TScanWorker(*lastScan_, nullptr);
    Adopt(worker, TActivity::Scanning);
    connect(worker, &TScanWorker::Finished, this, [this](const QImage& image, const QSizeF& dpi) {
        JobEnded();
        // The device stopped on its own (its cancel key): nothing scanned.
        if (image.isNull()) return;
        const QString name = QStringLiteral("Scan %1.png")
                                 .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm")));
        Load(new TBackdropLoader(image, dpi, name, nullptr));
    });
    connect(worker, &TBackgroundJob::Failed, this, [this](const QString& message) {
        JobEnded();
        Application()->ShowException(message);
        ReadIfUnread();
    });
    worker->Start();
}

void TBackdropPanel::SaveScan() {
    if (!backdrop_ || scanPng_.isEmpty()) return;
    // The documents folder, or the home folder where there is none yet.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists()) folder = QDir::homePath();
    const auto file =
        Application()->SaveFileName(QStringLiteral("Scan speichern"), QDir(folder).filePath(backdrop_->FileName()));
    if (file) SaveScanPng(scanPng_, *file);
}

void TBackdropPanel::ReadIfUnread() {
    if (job_ || !backdrop_ || !unread_) return;
    const QSizeF sheet = host_.SheetSizeMm();
    auto* reader = new TOcrWorker(backdrop_->ScanImage(), backdrop_->ScanDpi(sheet.width(), sheet.height()), nullptr);
    Adopt(reader, TActivity::Reading);
    connect(reader, &TOcrWorker::Finished, this, [this](const TTextWords& words) {
        unread_ = false;
        backdrop_->SetScanWords(words);
        JobEnded();
    });
    connect(reader, &TBackgroundJob::Failed, this, [this](const QString& message) { ReadingFailed(message); });
    reader->Start();
}

void TBackdropPanel::ReadingFailed(const QString& message) {
    unread_ = false;
    JobEnded();
    // A page without text is no fault: a note, not an error.
    if (message == NoTextMessage())
        Note(search_, QStringLiteral("%1: der Scan ist leer, unleserlich oder steht auf dem Kopf").arg(message));
    else
        Application()->ShowException(message);
}

} // namespace mx
