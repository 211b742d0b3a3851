#pragma once
// Getting a scan of a printed sheet into a dialog and working on it: from
// the scanner (TScanDialog, then TScanWorker) or from a scan file, every
// step off the window's thread and followed in a row of the dialog: what
// is being done, how far, and a button that stops it. The row is hidden
// while nothing runs; one step runs at a time.
#include "calibration/sheet_scan_job.h"
#include "scan/scanner_module.h"

#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace mx {

class TSheetScanRow : public QWidget {
    Q_OBJECT
public:
    // Hears the scan the work was done on.
    using TDone = std::function<void(const TScanImage& scan)>;
    // Hears a step's German message when it failed, nothing when the user
    // stopped it. Without one a failure is shown as a warning.
    using TFailed = std::function<void(const QString& message)>;

    // caption: the title of the warnings it shows.
    TSheetScanRow(const QString& caption, QWidget* parent);
    ~TSheetScanRow() override;

    // Asks for the scanner and its settings (proposing `proposal`, whose
    // area is the sheet's size), scans, then runs work on the scan.
    void Scan(const TScanRequest& proposal, TSheetScanJob::TWork work, TDone done, TFailed failed = {});
    // Asks for a scan file, then reads it and runs work on it.
    void Open(TSheetScanJob::TWork work, TDone done, TFailed failed = {});
    // Runs work on a scan at hand.
    void Run(const TScanImage& scan, TSheetScanJob::TWork work, TDone done, TFailed failed = {});
    // Starts job and follows it in the row under `text`; its Finished
    // signal goes to done.
    template <class TJob, class TFinished>
    void Follow(TJob* job, const QString& text, TFinished done, TFailed failed = {});

    bool Busy() const { return job_ != nullptr; }
    // Stops the step that runs: the row is free at once and the step's
    // outcome is dropped (its thread ends on its own).
    void Stop();
    // The scanner settings last scanned with, to propose the next time.
    const TScanRequest& LastRequest() const { return lastRequest_; }

    QLabel* StatusLabel() const { return status_; }
    QProgressBar* ProgressBar() const { return bar_; }
    QPushButton* StopButton() const { return stop_; }

signals:
    void BusyChanged(bool busy);

private:
    void Work(TSheetScanJob::TRead read, TSheetScanJob::TWork work, TDone done, TFailed failed);
    void Begin(TBackgroundJob* job, const QString& text, TFailed failed);
    void End();
    void Fail(const QString& message);

    QString caption_;
    TBackgroundJob* job_ = nullptr;
    TFailed failed_;
    TScanRequest lastRequest_;
    QLabel* status_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* stop_ = nullptr;
};

template <class TJob, class TFinished>
void TSheetScanRow::Follow(TJob* job, const QString& text, TFinished done, TFailed failed) {
    Begin(job, text, std::move(failed));
    // The row is free before done runs, so that done can start the next step.
    connect(job, &TJob::Finished, this, [this] { End(); });
    connect(job, &TJob::Finished, this, std::move(done));
    job->Start();
}

} // namespace mx
