#include "calibration/sheet_scan_job.h"

#include <memory>

namespace mx {

namespace {

// Reading a file takes about as long as the work on it.
constexpr int ReadShare = 40;

} // namespace

TSheetScanJob::TSheetScanJob(TRead read, TWork work, QObject* parent)
    : TBackgroundJob(parent), read_(std::move(read)), work_(std::move(work)) {}

void TSheetScanJob::Start() {
    auto scan = std::make_shared<TScanImage>();
    Launch(
        [read = read_, work = work_, scan](TJobControl& control) {
            control.Progress(0);
            *scan = read();
            if (control.CancelRequested()) return;
            control.Progress(ReadShare);
            work(*scan, control);
            control.Progress(100);
        },
        [this, scan] { emit Finished(*scan); });
}

} // namespace mx
