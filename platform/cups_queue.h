#pragma once
// What the printer backend needs of the CUPS client library: whether the
// machine's print system is there and answers, a queue's own resolution,
// whether a queue takes jobs, and handing a finished file to a queue.
#include <QString>

class QPrinter;

namespace mx {

enum class TPrintSystem {
    Absent,      // no CUPS server configured and no local socket: no printing at all
    Unreachable, // configured (CUPS_SERVER, client.conf, a local socket) but not answering
    Ready,       // answers; it may still have no queue
};

// Asks the print system now (a connection with a timeout of a few seconds).
// *server gets the server's name or socket for messages.
TPrintSystem ProbePrintSystem(QString* server = nullptr);

// The queue's default resolution in dots per inch from its driver or IPP
// attributes; 0 when it reports none.
int QueueResolution(const QString& printer);

// Throws EPrinter when the queue is unknown, stopped or rejecting jobs.
void CheckQueueTakesJobs(const QString& printer);

// Hands the finished spool file to the printer's queue with the options Qt
// itself would send for its settings; throws EPrinter when it is refused.
void SubmitToQueue(QPrinter& printer, const QString& file, const QString& title);

} // namespace mx
