#pragma once
// Scanners, through the scanning module that is loaded on first use (from
// the program's folder or the installed library folder; for the tests,
// $MARBELUX_MODULE_DIR). Each call may take seconds while SANE asks the
// devices: call them from a background job (scan_jobs.h), never on the
// window's thread.
#include "platform/exception.h"
#include "scan/scanner_module.h"

namespace mx {

class TJobControl;

// Scanning that cannot be done, with a German message for the user.
class EScan : public Exception {
public:
    using Exception::Exception;
};

struct TScannedPage {
    // Null when the scan was cancelled.
    QImage Image;
    // As the device reports it.
    QSizeF Dpi;
};

// The scanners SANE finds, none when there are none. Raises EScan when
// scanning support is not installed or SANE fails.
QList<TScannerInfo> ListScanners(bool refresh);

// Scans one page with the control's progress and cancel; raises EScan.
TScannedPage ScanPage(const TScanRequest& request, TJobControl& control);

// "Kein Scanner gefunden", with what to check.
QString NoScannerMessage();

// A scanner as people know it: maker and model, and SANE's device name.
QString ScannerLabel(const TScannerInfo& scanner);

} // namespace mx
