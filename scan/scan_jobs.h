#pragma once
// Looking for scanners and scanning a page, each on a thread of its own
// (see platform/background_job.h for Progress, Failed, Cancelled and
// Cancel). Start() once; the outcome arrives as a signal on the thread
// that made the job.
#include "platform/background_job.h"
#include "scan/scanner_module.h"

namespace mx {

class TScannerSearch : public TBackgroundJob {
    Q_OBJECT
public:
    // refresh: start SANE anew, so that scanners switched on since are found.
    explicit TScannerSearch(bool refresh, QObject* parent = nullptr);
    void Start();

signals:
    // Possibly none.
    void Finished(const QList<mx::TScannerInfo>& scanners);

private:
    bool refresh_;
};

class TScanWorker : public TBackgroundJob {
    Q_OBJECT
public:
    explicit TScanWorker(const TScanRequest& request, QObject* parent = nullptr);
    void Start();
    const TScanRequest& Request() const { return request_; }

signals:
    // Grey (Format_Grayscale8) or colour (Format_RGB888), its dots per
    // metre set; dpi as the device reports it.
    void Finished(const QImage& image, const QSizeF& dpi);

private:
    TScanRequest request_;
};

} // namespace mx
