#include "calibration/sheet_scan_row.h"

#include "platform/application.h"
#include "scan/scan_dialog.h"
#include "scan/scan_jobs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace mx {

TSheetScanRow::TSheetScanRow(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {
    setObjectName(QStringLiteral("ScanRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("ScanStatusLabel"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ScanProgressBar"));
    bar_->setRange(0, 100);
    stop_ = new QPushButton(QStringLiteral("A&nhalten"), this);
    stop_->setObjectName(QStringLiteral("ScanStopBtn"));
    stop_->setAutoDefault(false);
    stop_->setToolTip(QStringLiteral("Den laufenden Schritt abbrechen"));
    layout->addWidget(status_);
    layout->addWidget(bar_, 1);
    layout->addWidget(stop_);
    connect(stop_, &QPushButton::clicked, this, &TSheetScanRow::Stop);
    hide();
}

TSheetScanRow::~TSheetScanRow() = default;

void TSheetScanRow::Scan(const TScanRequest& proposal, TSheetScanJob::TWork work, TDone done, TFailed failed) {
    if (Busy()) return;
    TScanDialog dialog(proposal, window());
    if (Application()->ExecDialog(dialog) != QDialog::Accepted) return;
    lastRequest_ = dialog.Request();
    const auto scanned = [this, work, done, failed, asked = lastRequest_.Dpi](const QImage& image, const QSizeF& dpi) {
        Work([image, dpi, asked] { return ScannedImage(image, dpi, asked); }, work, done, failed);
    };
    Follow(new TScanWorker(lastRequest_, this), QStringLiteral("Das Blatt wird gescannt …"), scanned, failed);
}

void TSheetScanRow::Open(TSheetScanJob::TWork work, TDone done, TFailed failed) {
    if (Busy()) return;
    const auto path =
        Application()->OpenFileName(QStringLiteral("Scan öffnen"),
                                    QStringLiteral("Scans (*.png *.jpg *.jpeg *.tif *.tiff *.bmp);;Alle Dateien (*)"));
    if (!path) return;
    Work([path = *path] { return ReadScanFile(path); }, std::move(work), std::move(done), std::move(failed));
}

void TSheetScanRow::Run(const TScanImage& scan, TSheetScanJob::TWork work, TDone done, TFailed failed) {
    if (Busy()) return;
    Work([scan] { return scan; }, std::move(work), std::move(done), std::move(failed));
}

void TSheetScanRow::Work(TSheetScanJob::TRead read, TSheetScanJob::TWork work, TDone done, TFailed failed) {
    Follow(new TSheetScanJob(std::move(read), std::move(work), this), QStringLiteral("Der Scan wird ausgewertet …"),
           std::move(done), std::move(failed));
}

void TSheetScanRow::Begin(TBackgroundJob* job, const QString& text, TFailed failed) {
    job_ = job;
    failed_ = std::move(failed);
    status_->setText(text);
    bar_->setValue(0);
    connect(job, &TBackgroundJob::Progress, this, [this](int percent) { bar_->setValue(percent); });
    connect(job, &TBackgroundJob::Failed, this, &TSheetScanRow::Fail);
    connect(job, &TBackgroundJob::Cancelled, this, [this] { Fail({}); });
    show();
    emit BusyChanged(true);
}

void TSheetScanRow::End() {
    if (!job_) return;
    // Its outcome may still be on the way to done: it goes once that is
    // delivered.
    job_->deleteLater();
    job_ = nullptr;
    hide();
    emit BusyChanged(false);
}

void TSheetScanRow::Fail(const QString& message) {
    const TFailed failed = std::move(failed_);
    End();
    if (failed)
        failed(message);
    else if (!message.isEmpty())
        Application()->MessageBox(WithFullStop(message), caption_, MB_OK | MB_ICONWARNING);
}

void TSheetScanRow::Stop() {
    if (!job_) return;
    job_->Cancel();
    job_->disconnect(this);
    Fail({});
}

} // namespace mx
