#include "platform/background_job.h"

#include "platform/exception.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <new>

namespace mx {

namespace {

// How often the owner's thread looks at the work's progress: often enough
// for a progress bar, rare enough to cost nothing.
constexpr int ProgressPollMs = 50;

// How long the application's end waits for work still running: a device
// that hangs must not keep the program from ending.
constexpr int EndWaitMs = 10000;

// Threads of jobs, touched only on the application's thread (where they
// are made and deleted). When the application ends it waits for those
// still running, so no work is cut off while the libraries unload.
QList<QPointer<QThread>>& JobThreads() {
    static QList<QPointer<QThread>> threads;
    return threads;
}

void WaitForJobThreads() {
    const QDeadlineTimer deadline(EndWaitMs);
    for (const QPointer<QThread>& thread : JobThreads())
        if (thread) thread->wait(deadline);
    JobThreads().clear();
}

void Register(QThread* thread) {
    static bool waitsAtEnd = false;
    if (!waitsAtEnd) {
        qAddPostRoutine(WaitForJobThreads);
        waitsAtEnd = true;
    }
    JobThreads().removeAll(nullptr);
    JobThreads().append(thread);
}

} // namespace

void TJobControl::Progress(int percent) { progress_.store(std::clamp(percent, 0, 100)); }

TBackgroundJob::TBackgroundJob(QObject* parent)
    : QObject(parent), control_(std::make_shared<TJobControl>()), poll_(new QTimer(this)) {
    poll_->setInterval(ProgressPollMs);
    connect(poll_, &QTimer::timeout, this, &TBackgroundJob::ShowProgress);
}

TBackgroundJob::~TBackgroundJob() {
    if (running_) control_->RequestCancel();
}

void TBackgroundJob::Cancel() {
    if (running_) control_->RequestCancel();
}

void TBackgroundJob::Launch(TWork work, std::function<void()> done) {
    Q_ASSERT(!launched_);
    launched_ = running_ = true;
    // The thread owns what it uses: it may outlive this object.
    auto error = std::make_shared<QString>();
    QThread* thread = QThread::create([control = control_, work = std::move(work), error] {
        try {
            work(*control);
        } catch (const Exception& e) {
            *error = e.Message();
        } catch (const std::bad_alloc&) {
            *error = QStringLiteral("Für diesen Vorgang reicht der Arbeitsspeicher nicht");
        } catch (const std::exception& e) {
            *error = QStringLiteral("Unerwarteter Fehler: %1").arg(QString::fromLocal8Bit(e.what()));
        }
    });
    connect(thread, &QThread::finished, this, [this, error, done = std::move(done)] { Ended(*error, done); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    Register(thread);
    thread->start();
    poll_->start();
}

void TBackgroundJob::Ended(const QString& error, const std::function<void()>& done) {
    running_ = false;
    poll_->stop();
    if (control_->CancelRequested()) {
        emit Cancelled();
        return;
    }
    ShowProgress();
    if (!error.isEmpty())
        emit Failed(error);
    else
        done();
}

void TBackgroundJob::ShowProgress() {
    const int percent = control_->LastProgress();
    if (percent < 0 || percent == shown_) return;
    shown_ = percent;
    emit Progress(percent);
}

} // namespace mx
