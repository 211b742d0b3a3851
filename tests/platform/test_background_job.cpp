// Background jobs: the outcome arrives on the owner's thread as exactly one
// of finished, failed or cancelled; progress on the way; a job dropped
// while it runs is asked to stop and nobody waits for it.
#include "platform/background_job.h"
#include "platform/exception.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <new>

using namespace mx;

namespace {

constexpr int WaitMs = 30000;

// A job whose work the test gives; it finishes with the thread it ran on.
class TTestJob : public TBackgroundJob {
public:
    TTestJob() : TBackgroundJob(nullptr) {}
    void Start(TWork work) {
        auto thread = std::make_shared<QThread*>(nullptr);
        Launch(
            [work = std::move(work), thread](TJobControl& control) {
                *thread = QThread::currentThread();
                work(control);
            },
            [this, thread] { FinishedOn = *thread; });
    }
    QThread* FinishedOn = nullptr;
};

struct TSpies {
    explicit TSpies(TTestJob& job)
        : Progress(&job, &TBackgroundJob::Progress), Failed(&job, &TBackgroundJob::Failed),
          Cancelled(&job, &TBackgroundJob::Cancelled) {}
    QSignalSpy Progress, Failed, Cancelled;
};

bool Ended(TTestJob& job) {
    return QTest::qWaitFor([&] { return !job.Running(); }, WaitMs);
}

} // namespace

TEST(BackgroundJob, WorkRunsOnItsOwnThreadAndReportsProgress) {
    TTestJob job;
    TSpies spies(job);
    job.Start([](TJobControl& control) {
        for (const int percent : {10, 60, 140}) {
            control.Progress(percent);
            QThread::msleep(120);
        }
    });
    EXPECT_TRUE(job.Running());
    ASSERT_TRUE(Ended(job));
    ASSERT_NE(job.FinishedOn, nullptr);
    EXPECT_NE(job.FinishedOn, QThread::currentThread());
    ASSERT_FALSE(spies.Progress.isEmpty());
    EXPECT_EQ(spies.Progress.back().at(0).toInt(), 100) << "clamped";
    EXPECT_TRUE(spies.Failed.isEmpty());
    EXPECT_TRUE(spies.Cancelled.isEmpty());
}

TEST(BackgroundJob, ErrorsBecomeGermanMessages) {
    const auto failure = [](std::function<void(TJobControl&)> work) {
        TTestJob job;
        TSpies spies(job);
        job.Start(std::move(work));
        EXPECT_TRUE(Ended(job));
        EXPECT_EQ(job.FinishedOn, nullptr) << "not finished when failed";
        return spies.Failed.isEmpty() ? QString() : spies.Failed.at(0).at(0).toString();
    };
    EXPECT_EQ(failure([](TJobControl&) { throw Exception("Papierstau im Scanner"); }), "Papierstau im Scanner");
    EXPECT_EQ(failure([](TJobControl&) { throw std::bad_alloc(); }),
              "Für diesen Vorgang reicht der Arbeitsspeicher nicht");
    EXPECT_EQ(failure([](TJobControl&) { throw std::runtime_error("boom"); }), "Unerwarteter Fehler: boom");
}

// Once asked to stop, the outcome is "cancelled", whatever the work did.
TEST(BackgroundJob, CancelledWinsOverTheOutcome) {
    for (const bool fails : {false, true}) {
        TTestJob job;
        TSpies spies(job);
        job.Start([fails](TJobControl& control) {
            while (!control.CancelRequested()) QThread::msleep(5);
            if (fails) throw Exception("abgebrochen");
        });
        job.Cancel();
        ASSERT_TRUE(Ended(job));
        EXPECT_EQ(spies.Cancelled.size(), 1);
        EXPECT_TRUE(spies.Failed.isEmpty());
        EXPECT_EQ(job.FinishedOn, nullptr);
    }
}

TEST(BackgroundJob, DroppedJobIsAskedToStopWithoutWaiting) {
    auto stopped = std::make_shared<std::atomic_bool>(false);
    auto started = std::make_shared<std::atomic_bool>(false);
    auto job = std::make_unique<TTestJob>();
    job->Start([stopped, started](TJobControl& control) {
        started->store(true);
        while (!control.CancelRequested()) QThread::msleep(5);
        stopped->store(true);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return started->load(); }, WaitMs));
    job.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return stopped->load(); }, WaitMs));
}
