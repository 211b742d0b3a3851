#include "tests/support/cups_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cups/cups.h>
#include <sys/stat.h>

namespace mx::test {

namespace {

// Variables through which the CUPS client could pick another scheduler or
// another default queue.
const QByteArray ClientVars[] = {"CUPS_SERVER", "PRINTER", "LPDEST"};

QString findTool(const QString& name) {
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty()) found = QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin", "/usr/bin"});
    return found;
}

bool writeFile(const QString& path, const QString& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

PrivateCups::PrivateCups() = default;

PrivateCups::~PrivateCups() {
    if (clientRedirected_) {
        for (const auto& [name, value] : savedEnv_) {
            if (value)
                qputenv(name.constData(), *value);
            else
                qunsetenv(name.constData());
        }
        cupsSetServer(nullptr);
    }
    Stop();
}

QString PrivateCups::path(const QString& name) const { return dir_.path() + '/' + name; }
QString PrivateCups::Socket() const { return path("cups.sock"); }
QString PrivateCups::OutputFile(const QString& queue) const {
    return path("out-" + (queue.isEmpty() ? Queue() : queue) + ".prn");
}

bool PrivateCups::SpooledPdf(const QString& queue, const QString& pdf) const {
    QFile in(OutputFile(queue));
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QByteArray job = in.readAll();
    const qsizetype start = job.indexOf("%PDF-");
    const qsizetype end = job.lastIndexOf("%%EOF");
    if (start < 0 || end < start) return false;
    QFile out(pdf);
    const QByteArray document = job.mid(start, end + 5 - start) + '\n';
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(document) == document.size();
}

bool PrivateCups::fail(const QString& why) {
    error_ = why;
    return false;
}

QString PrivateCups::LogTail(int lines) const {
    QFile f(path("log/error_log"));
    if (!f.open(QIODevice::ReadOnly)) return "(kein Protokoll)";
    const QStringList all = QString::fromUtf8(f.readAll()).split('\n');
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join('\n');
}

bool PrivateCups::launch() {
    const QString cupsd = findTool("cupsd");
    if (cupsd.isEmpty()) return fail("cupsd is not installed (Debian package cups-daemon)");
    cupsd_.setProgram(cupsd);
    cupsd_.setArguments({"-f", "-c", path("cupsd.conf"), "-s", path("cups-files.conf")});
    cupsd_.setStandardOutputFile(QProcess::nullDevice());
    cupsd_.setStandardErrorFile(path("log/cupsd.out"));
    cupsd_.start();
    if (!cupsd_.waitForStarted(10000)) return fail("cupsd did not start: " + cupsd_.errorString());
    QElapsedTimer clock;
    clock.start();
    while (!(QFileInfo::exists(Socket()) && Run("lpstat", {"-r"}) == 0)) {
        if (cupsd_.state() == QProcess::NotRunning) {
            QFile out(path("log/cupsd.out"));
            out.open(QIODevice::ReadOnly);
            return fail(QString("cupsd stopped at once (exit %1): %2\n%3")
                            .arg(cupsd_.exitCode())
                            .arg(QString::fromUtf8(out.readAll()), LogTail()));
        }
        if (clock.elapsed() > 15000) return fail("cupsd did not answer on " + Socket() + "\n" + LogTail());
        QThread::msleep(50);
    }
    return true;
}

bool PrivateCups::AddQueue(const QString& name, const QString& paper, int dpi) {
    const QString ppd = "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd";
    if (!QFileInfo::exists(ppd)) return fail(ppd + " is missing (Debian package cups-filters)");
    QString output;
    if (Run("lpadmin",
            {"-p", name, "-E", "-v", "file:" + OutputFile(name), "-P", ppd, "-o", "PageSize=" + paper, "-o",
             QString("Resolution=%1dpi").arg(dpi)},
            &output) != 0)
        return fail("lpadmin could not create the queue " + name + ": " + output + "\n" + LogTail());
    return true;
}

void PrivateCups::Stop() {
    if (cupsd_.state() == QProcess::NotRunning) return;
    cupsd_.terminate();
    if (!cupsd_.waitForFinished(10000)) {
        cupsd_.kill();
        cupsd_.waitForFinished(5000);
    }
    QFile::remove(Socket());
}

bool PrivateCups::Restart() {
    Stop();
    return launch();
}

bool PrivateCups::Start() {
    if (!dir_.isValid()) return fail("temporary folder: " + dir_.errorString());
    if (Socket().toUtf8().size() >= 100) return fail("socket path too long for a unix socket: " + Socket());

    // Filters run as the unprivileged cups user: it must reach the spool
    // and write its temporary files.
    ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
    for (const char* sub : {"spool", "cache", "state", "log", "tmp"})
        if (!QDir(dir_.path()).mkpath(sub)) return fail(QString("cannot create %1").arg(path(sub)));
    ::chmod(QFile::encodeName(path("tmp")).constData(), 01777);

    const QString conf = QString("Listen %1\n"
                                 "LogLevel info\n"
                                 "Browsing No\n"
                                 "BrowseLocalProtocols none\n"
                                 "WebInterface No\n"
                                 "DefaultAuthType None\n"
                                 "ErrorPolicy abort-job\n"
                                 "PreserveJobHistory Yes\n"
                                 "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                 "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                             .arg(Socket());
    const QString files = QString("FileDevice Yes\n"
                                  "ServerRoot %1\n"
                                  "RequestRoot %1/spool\n"
                                  "CacheDir %1/cache\n"
                                  "StateDir %1/state\n"
                                  "TempDir %1/tmp\n"
                                  "ErrorLog %1/log/error_log\n"
                                  "AccessLog %1/log/access_log\n"
                                  "PageLog %1/log/page_log\n"
                                  "Printcap %1/printcap\n"
                                  "SystemGroup root\n")
                              .arg(dir_.path());
    if (!writeFile(path("cupsd.conf"), conf) || !writeFile(path("cups-files.conf"), files))
        return fail("cannot write the scheduler's configuration in " + dir_.path());

    if (!launch()) return false;

    if (!AddQueue(Queue(), "A4", 600)) return false;
    QString output;
    if (Run("lpadmin", {"-d", Queue()}, &output) != 0)
        return fail("lpadmin could not make the queue the default: " + output);

    // From here on this process's client only sees the private scheduler.
    for (const QByteArray& name : ClientVars)
        savedEnv_[name] =
            qEnvironmentVariableIsSet(name.constData()) ? std::optional(qgetenv(name.constData())) : std::nullopt;
    qputenv("CUPS_SERVER", QFile::encodeName(Socket()));
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    cupsSetServer(QFile::encodeName(Socket()).constData());
    clientRedirected_ = true;
    return true;
}

int PrivateCups::Run(const QString& tool, const QStringList& args, QString* output) const {
    const QString program = findTool(tool);
    if (program.isEmpty()) {
        if (output) *output = tool + " is not installed";
        return -1;
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUPS_SERVER", Socket());
    env.remove("PRINTER");
    env.remove("LPDEST");
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        if (output) *output = tool + " did not finish";
        return -1;
    }
    if (output) *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

std::vector<CupsJob> PrivateCups::Jobs(const QString& queue) const {
    const QByteArray name = (queue.isEmpty() ? Queue() : queue).toUtf8();
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
    std::vector<CupsJob> result;
    for (int i = 0; i < count; ++i)
        result.push_back({jobs[i].id, QString::fromUtf8(jobs[i].title), int(jobs[i].state)});
    cupsFreeJobs(count, jobs);
    std::sort(result.begin(), result.end(), [](const CupsJob& a, const CupsJob& b) { return a.id < b.id; });
    return result;
}

bool PrivateCups::WaitUntilIdle(int timeoutMs, const QString& queue) const {
    const QByteArray name = (queue.isEmpty() ? Queue() : queue).toUtf8();
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        cups_job_t* jobs = nullptr;
        const int active = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 0, CUPS_WHICHJOBS_ACTIVE);
        cupsFreeJobs(std::max(active, 0), jobs);
        if (active == 0) return true;
        if (clock.elapsed() > timeoutMs) return false;
        QThread::msleep(100);
    }
}

} // namespace mx::test
