#pragma once
// Slow work (loading a scan, scanning, reading a scan's text) on a thread of
// its own, so the window stays responsive. The work reports its progress
// and polls whether it should stop; what it reports and how it ended
// arrive on the thread that started it, through that thread's event loop.
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace mx {

// What the work sees of its task; safe to use from the work's thread.
class TTaskControl {
public:
    // The share done, 0 to 100; passed on only when it grew.
    void Progress(int percent);
    // Whether the work should stop (and let the task end as cancelled).
    bool Cancelled() const { return cancelled_.load(); }

private:
    friend class TBackgroundTask;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> progress_{-1};
    std::function<void(int)> report_;
};

class TBackgroundTask : public QObject {
    Q_OBJECT
public:
    // The callbacks run on the starting thread, never after the task is
    // destroyed: OnProgress for each new percentage, then exactly one of
    // OnFinished (the work returned while not cancelled), OnCancelled, or
    // OnFailed with the message of the mx::Exception the work raised (any
    // other exception gives a general message). Set them, then Start().
    explicit TBackgroundTask(std::function<void(TTaskControl&)> work, QObject* parent = nullptr);
    // Cancels and waits for the work to return.
    ~TBackgroundTask() override;

    void Start();
    // Asks the work to stop; it ends as cancelled once it returns.
    void Cancel() { control_.cancelled_ = true; }
    bool Running() const { return running_; }

    std::function<void(int percent)> OnProgress;
    std::function<void()> OnFinished;
    std::function<void()> OnCancelled;
    std::function<void(const QString& message)> OnFailed;

private:
    void Ended(const QString& failure, bool failed);

    std::function<void(TTaskControl&)> work_;
    TTaskControl control_;
    QThread* thread_ = nullptr;
    bool running_ = false;
};

} // namespace mx
