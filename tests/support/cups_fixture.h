#pragma once
// A private CUPS scheduler for one test program: its own configuration,
// spool and logs in a temporary folder, listening only on a socket inside
// it, with one file-backed PostScript queue as the default. While it runs,
// this process's CUPS client (and so Qt's printing) talks to it and to
// nothing else; the machine's own queues are never touched.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <optional>
#include <vector>

namespace mx::test {

struct CupsJob {
    int id = 0;
    QString title;
    int state = 0; // IPP job state: 3 pending ... 7 cancelled, 8 aborted, 9 completed
};

class PrivateCups {
public:
    static constexpr int JobCompleted = 9;

    PrivateCups();
    // Stops the scheduler and points the client back at the system's.
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    // Starts the scheduler and creates the default queue (A4, 600 dpi);
    // false with Error() set when any step fails (a test must then fail,
    // never skip).
    bool Start();
    // Another queue with its own default paper (a PPD name such as "A4" or
    // "Letter") and resolution; false with Error() set on failure.
    bool AddQueue(const QString& name, const QString& paper, int dpi);
    // Stops the scheduler (its socket goes away) and starts it again with
    // the same queues; the client stays pointed at it.
    void Stop();
    bool Restart();
    const QString& Error() const { return error_; }

    QString Queue() const { return QStringLiteral("MarbeluxTest"); }
    QString Socket() const;
    // The file a queue writes each job into; the next job overwrites it.
    QString OutputFile(const QString& queue = {}) const;
    // The PDF inside the last job's output (the driver wraps it in printer
    // job language), written to pdf; false when there is none.
    bool SpooledPdf(const QString& queue, const QString& pdf) const;

    // Runs a CUPS tool (lpadmin, cupsreject, cupsenable, ...) against this
    // scheduler; returns its exit code, its output in *output.
    int Run(const QString& tool, const QStringList& args, QString* output = nullptr) const;
    // Every job the scheduler knows for the queue, oldest first.
    std::vector<CupsJob> Jobs(const QString& queue = {}) const;
    // Until no job is pending or processing; false on timeout.
    bool WaitUntilIdle(int timeoutMs = 60000, const QString& queue = {}) const;
    // The end of the scheduler's log, for failure messages.
    QString LogTail(int lines = 30) const;

private:
    bool fail(const QString& why);
    QString path(const QString& name) const;
    bool launch();

    QTemporaryDir dir_;
    QProcess cupsd_;
    QString error_;
    bool clientRedirected_ = false;
    // Client environment as it was before Start: name -> value, if set.
    std::map<QByteArray, std::optional<QByteArray>> savedEnv_;
};

} // namespace mx::test
