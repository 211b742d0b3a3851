#pragma once
// Work on a scan of a printed sheet (finding the calibration marks,
// checking the areas' cover) on a thread of its own, the scan read or
// converted there first (see platform/background_job.h for Progress,
// Failed, Cancelled and Cancel). Start() once; the outcome arrives as a signal on
// the thread that made the job.
#include "calibration/scan_image.h"
#include "platform/background_job.h"

#include <functional>

namespace mx {

class TSheetScanJob : public TBackgroundJob {
    Q_OBJECT
public:
    // Runs on the job's thread; raises Exception to fail with its message.
    // What it finds it keeps where its caller reads it after Finished.
    using TWork = std::function<void(const TScanImage& scan, TJobControl& control)>;

    // Gives the scan on the job's thread (ReadScanFile, ScannedImage);
    // raises Exception like the work.
    using TRead = std::function<TScanImage()>;

    TSheetScanJob(TRead read, TWork work, QObject* parent = nullptr);
    void Start();

signals:
    // The work is done; the scan it worked on.
    void Finished(const mx::TScanImage& scan);

private:
    TRead read_;
    TWork work_;
};

} // namespace mx
