#include "platform/cups_queue.h"

#include "platform/exception.h"

#include <QFile>
#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cups/cups.h>

namespace mx {

namespace {

// Qt's key for extra CUPS options set on a printer.
constexpr auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// CUPS names a queue "name" or "name/instance".
QByteArray QueueName(const QString& printer) { return printer.section('/', 0, 0).toLocal8Bit(); }

cups_dest_t* NamedDest(const QString& printer) {
    const QByteArray instance = printer.section('/', 1).toLocal8Bit();
    return cupsGetNamedDest(CUPS_HTTP_DEFAULT, QueueName(printer).constData(),
                            instance.isEmpty() ? nullptr : instance.constData());
}

} // namespace

TPrintSystem ProbePrintSystem(QString* serverName) {
    // cupsServer() gives CUPS_SERVER, else the client configuration's
    // server, else the local socket when it exists, else "localhost".
    const char* server = cupsServer();
    if (serverName) *serverName = QString::fromLocal8Bit(server);
    const char* fromEnvironment = std::getenv("CUPS_SERVER");
    const bool configured =
        (fromEnvironment && *fromEnvironment) || server[0] == '/' || std::strcmp(server, "localhost") != 0;
    if (http_t* http = httpConnect2(server, ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr)) {
        httpClose(http);
        return TPrintSystem::Ready;
    }
    return configured ? TPrintSystem::Unreachable : TPrintSystem::Absent;
}

int QueueResolution(const QString& printer) {
    cups_dest_t* dest = NamedDest(printer);
    if (!dest) return 0;
    int dpi = 0;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        if (ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
            int y = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int x = ippGetResolution(attr, 0, &y, &units);
            dpi = units == IPP_RES_PER_CM ? int(std::lround(x * 2.54)) : x;
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return dpi > 0 ? dpi : 0;
}

// Qt hands a job to the queue without looking at the answer, so a queue
// that refuses it would lose the document silently: ask first.
void CheckQueueTakesJobs(const QString& printer) {
    cups_dest_t* dest = NamedDest(printer);
    if (!dest) throw EPrinter(QString("Der Drucker %1 ist nicht erreichbar").arg(printer));
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    const bool refuses = accepting && std::strcmp(accepting, "false") == 0;
    const bool stopped = state && std::strcmp(state, "5") == 0;
    cupsFreeDests(1, dest);
    if (refuses) throw EPrinter(QString("Der Drucker %1 nimmt zur Zeit keine Aufträge an").arg(printer));
    if (stopped) throw EPrinter(QString("Der Drucker %1 ist angehalten").arg(printer));
}

void SubmitToQueue(QPrinter& printer, const QString& file, const QString& title) {
    int count = 0;
    cups_option_t* options = nullptr;
    auto add = [&](const char* name, const QByteArray& value) {
        count = cupsAddOption(name, value.constData(), count, &options);
    };

    const QPageLayout layout = printer.pageLayout();
    add("media", layout.pageSize().key().toLocal8Bit());
    if (printer.copyCount() > 1) add("copies", QByteArray::number(printer.copyCount()));
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    switch (printer.duplex()) {
    case QPrinter::DuplexNone: add("sides", "one-sided"); break;
    case QPrinter::DuplexAuto: add("sides", portrait ? "two-sided-long-edge" : "two-sided-short-edge"); break;
    case QPrinter::DuplexLongSide: add("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: add("sides", "two-sided-short-edge"); break;
    }
    if (!portrait) add("landscape", "");
    const QStringList extra = printer.printEngine()->property(CupsOptionsKey).toStringList();
    for (qsizetype i = 0; i + 1 < extra.size(); i += 2)
        add(extra[i].toLocal8Bit().constData(), extra[i + 1].toLocal8Bit());

    const int job = cupsPrintFile(QueueName(printer.printerName()).constData(), QFile::encodeName(file).constData(),
                                  title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job == 0)
        throw EPrinter(QString("Der Drucker %1 hat den Auftrag nicht angenommen: %2")
                           .arg(printer.printerName(), QString::fromUtf8(cupsLastErrorString())));
}

} // namespace mx
