#pragma once
// Slow work (scanning, reading a scan's text) on a thread of its own, so
// the window stays responsive: progress and the outcome arrive as signals
// on the thread that owns the job, and the user can cancel at any time.
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QTimer;

namespace mx {

// What the work sees of its job. Safe to use from any thread.
class TJobControl {
public:
    // Percent done, 0 to 100.
    void Progress(int percent);
    int LastProgress() const { return progress_.load(); }
    void RequestCancel() { cancel_.store(true); }
    bool CancelRequested() const { return cancel_.load(); }
    // For code that checks the flag itself (a module's loop).
    const std::atomic_bool& CancelFlag() const { return cancel_; }

private:
    std::atomic_int progress_{-1};
    std::atomic_bool cancel_{false};
};

class TBackgroundJob : public QObject {
    Q_OBJECT
public:
    // Asks running work to stop, without waiting for it: work that cannot
    // stop at once finishes on its own and its outcome is dropped. When the
    // application ends it waits for such work, up to ten seconds.
    ~TBackgroundJob() override;

    // Asks the work to stop; Cancelled follows once it has.
    void Cancel();
    bool Running() const { return running_; }

signals:
    void Progress(int percent);
    // A German message for the user.
    void Failed(const QString& message);
    void Cancelled();

protected:
    explicit TBackgroundJob(QObject* parent);

    using TWork = std::function<void(TJobControl&)>;
    // Runs work on a new thread; it raises Exception to fail with its
    // message. When it has returned normally and nobody asked it to stop,
    // done runs on this object's thread (to emit the typed outcome).
    // Once per job.
    void Launch(TWork work, std::function<void()> done);

private:
    void Ended(const QString& error, const std::function<void()>& done);
    void ShowProgress();

    std::shared_ptr<TJobControl> control_;
    QTimer* poll_ = nullptr;
    int shown_ = -1;
    bool running_ = false;
    bool launched_ = false;
};

} // namespace mx
