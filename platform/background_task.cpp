#include "platform/background_task.h"

#include "platform/exception.h"

#include <QMetaObject>
#include <QThread>

namespace mx {

void TTaskControl::Progress(int percent) {
    int previous = progress_.load();
    while (percent > previous)
        if (progress_.compare_exchange_weak(previous, percent)) {
            if (report_) report_(percent);
            return;
        }
}

TBackgroundTask::TBackgroundTask(std::function<void(TTaskControl&)> work, QObject* parent)
    : QObject(parent), work_(std::move(work)) {
    // Queued calls to a destroyed task are dropped by Qt.
    control_.report_ = [this](int percent) {
        QMetaObject::invokeMethod(
            this,
            [this, percent] {
                if (OnProgress) OnProgress(percent);
            },
            Qt::QueuedConnection);
    };
}

TBackgroundTask::~TBackgroundTask() {
    if (!thread_) return;
    Cancel();
    thread_->wait();
    delete thread_;
}

void TBackgroundTask::Start() {
    if (thread_) return;
    running_ = true;
    thread_ = QThread::create([this] {
        QString failure;
        bool failed = false;
        try {
            work_(control_);
        } catch (const Exception& e) {
            failure = e.Message();
            failed = true;
        } catch (const std::bad_alloc&) {
            failure = QStringLiteral("Dafür reicht der Arbeitsspeicher nicht");
            failed = true;
        } catch (const std::exception& e) {
            failure = QString::fromLocal8Bit(e.what());
            failed = true;
        }
        QMetaObject::invokeMethod(
            this, [this, failure, failed] { Ended(failure, failed); }, Qt::QueuedConnection);
    });
    thread_->start();
}

void TBackgroundTask::Ended(const QString& failure, bool failed) {
    thread_->wait();
    running_ = false;
    if (control_.Cancelled()) {
        if (OnCancelled) OnCancelled();
    } else if (failed) {
        if (OnFailed) OnFailed(failure);
    } else if (OnFinished) {
        OnFinished();
    }
}

} // namespace mx
