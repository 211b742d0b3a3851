#include "scan/scan_jobs.h"

#include "scan/scanner.h"

#include <memory>

namespace mx {

TScannerSearch::TScannerSearch(bool refresh, QObject* parent) : TBackgroundJob(parent), refresh_(refresh) {}

void TScannerSearch::Start() {
    auto scanners = std::make_shared<QList<TScannerInfo>>();
    Launch([refresh = refresh_, scanners](TJobControl&) { *scanners = ListScanners(refresh); },
           [this, scanners] { emit Finished(*scanners); });
}

TScanWorker::TScanWorker(const TScanRequest& request, QObject* parent) : TBackgroundJob(parent), request_(request) {}

void TScanWorker::Start() {
    auto page = std::make_shared<TScannedPage>();
    Launch([request = request_, page](TJobControl& control) { *page = ScanPage(request, control); },
           [this, page] { emit Finished(page->Image, page->Dpi); });
}

} // namespace mx
