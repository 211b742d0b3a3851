#pragma once
// What the program and the scanning module (scan/sane/, which links SANE)
// share. The module is loaded on first use; this header is all the two
// sides have in common and must stay free of anything but Qt value types
// and the standard library.
#include <QImage>
#include <QList>
#include <QPair>
#include <QSizeF>
#include <QString>
#include <atomic>
#include <functional>

namespace mx {

struct TScannerInfo {
    // SANE's device name, to scan with ("epson2:libusb:001:004").
    QString Name;
    QString Vendor, Model, Type;
    bool operator==(const TScannerInfo&) const = default;
};

enum class TScanColour { Grey, Colour };

struct TScanRequest {
    QString Device;
    int Dpi = 300;
    TScanColour Colour = TScanColour::Grey;
    // Width and height from the scanner's origin; a device that cannot
    // scan that much scans what it can. Empty: the device's own area.
    QSizeF AreaMm;
    // Further settings of the device's own, by SANE's option names with
    // values as text ("source" = "Flatbed"; `scanimage --help -d DEVICE`
    // lists them), set first; those the device lacks are passed over.
    QList<QPair<QString, QString>> DeviceOptions;
    bool operator==(const TScanRequest&) const = default;
};

// How a listing or a scan ended: SANE's status codes in SANE's order, then
// the module's own.
enum class TScanStatus {
    Good,
    Unsupported,
    Cancelled,
    DeviceBusy,
    Invalid,
    EndOfFile,
    Jammed,
    NoDocuments,
    CoverOpen,
    IoError,
    NoMemory,
    AccessDenied,
    // The device sends its image in a form the module does not read.
    UnknownFormat,
    // The device announces an image larger than any sheet.
    TooLarge,
};

// Where a scan stopped.
enum class TScanStep { Open, Setup, Start, Read };

struct TScanOutcome {
    TScanStatus Status = TScanStatus::Good;
    TScanStep Step = TScanStep::Open;
    // Grey (Format_Grayscale8) or colour (Format_RGB888), its dots per
    // metre set from Dpi.
    QImage Image;
    // The resolution the device reports for the scan it made; empty when
    // it reports none.
    QSizeF Dpi;
};

// The module's one object; it lives as long as the process. Its calls are
// serialised (a listing waits for a running scan) and may take seconds:
// call them from a background job.
class TScannerAccess {
public:
    virtual ~TScannerAccess() = default;
    // The devices SANE finds. With refresh, SANE is started anew first: its
    // configuration is read again, and backends that look for devices only
    // when they start look again.
    virtual TScanStatus List(bool refresh, QList<TScannerInfo>& scanners) = 0;
    // Scans one page; progress gets percent done (not called when the
    // device does not say how long the page is). Checks cancel between
    // the device's blocks of data and stops the device when it is set.
    virtual TScanOutcome Scan(const TScanRequest& request, const std::function<void(int)>& progress,
                              const std::atomic_bool& cancel) = 0;
};

// The module's one entry point.
using TScannerAccessFunction = TScannerAccess* (*)();
inline constexpr const char* ScannerAccessSymbol = "MxScannerAccessV1";

} // namespace mx
