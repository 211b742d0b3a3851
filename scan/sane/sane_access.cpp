// Scanning through SANE. Built as a module of its own that the program
// opens only when the user first asks for a scanner: linking libsane would
// load it (and with it every backend's libraries) at every start.
#include "scan/sane/sane_options.h"
#include "scan/sane/sane_page.h"
#include "scan/scanner_module.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <QtGlobal>
#include <mutex>

namespace mx {

namespace {

constexpr double MmPerInch = 25.4;

QString Text(SANE_String_Const s) { return s ? QString::fromUtf8(s) : QString(); }

// An open device, closed when the scan ends in whatever way.
class TOpenDevice {
public:
    explicit TOpenDevice(SANE_Handle handle) : handle_(handle) {}
    ~TOpenDevice() { sane_close(handle_); }
    TOpenDevice(const TOpenDevice&) = delete;
    TOpenDevice& operator=(const TOpenDevice&) = delete;

private:
    SANE_Handle handle_;
};

void SetMode(SANE_Handle device, TScanColour colour) {
    if (colour == TScanColour::Grey)
        sane::SetChoice(device, SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_GRAY, {"gray", "grey"},
                        {"lineart", "halftone", "dither"});
    else
        sane::SetChoice(device, SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_COLOR, {"color", "colour"},
                        {"lineart", "halftone", "dither"});
    // Eight bits per sample wherever the device offers a choice.
    sane::SetNumber(device, SANE_NAME_BIT_DEPTH, 8);
}

// One axis of the scan area: from the device's origin as far as asked, or
// as far as the device reaches; none asked leaves the device's own.
void SetExtent(SANE_Handle device, const char* from, const char* to, double mm, double dpi) {
    const auto range = sane::NumberRange(device, from);
    if (!(mm > 0) || !range || sane::FindOption(device, to) < 0) return;
    const auto unit = sane::SetNumber(device, from, range->first);
    const auto origin = sane::GetNumber(device, from);
    if (!unit || !origin) return;
    if (*unit == SANE_UNIT_MM)
        sane::SetNumber(device, to, *origin + mm);
    else if (*unit == SANE_UNIT_PIXEL && dpi > 0)
        sane::SetNumber(device, to, *origin + mm / MmPerInch * dpi);
}

// The resolution the device will scan at, as it says after being set up.
QSizeF ReportedDpi(SANE_Handle device) {
    const auto both = sane::GetNumber(device, SANE_NAME_SCAN_RESOLUTION);
    const auto x = sane::GetNumber(device, SANE_NAME_SCAN_X_RESOLUTION);
    const auto y = sane::GetNumber(device, SANE_NAME_SCAN_Y_RESOLUTION);
    const double dx = x ? *x : both.value_or(0), dy = y ? *y : both.value_or(0);
    return dx > 0 && dy > 0 ? QSizeF(dx, dy) : QSizeF();
}

// SANE is started once, when first needed, and started anew only on a
// refresh, between scans. It is not stopped when the program ends:
// sane_exit() unloads the backends, whose own threads (or a scan still
// hanging in a device) must not find their code gone while the process
// winds down; the system closes the devices.
class TSaneAccess final : public TScannerAccess {
public:
    TScanStatus List(bool refresh, QList<TScannerInfo>& scanners) override {
        const std::lock_guard lock(mutex_);
        if (refresh && started_) {
            sane_exit();
            started_ = false;
        }
        if (const SANE_Status status = Start(); status != SANE_STATUS_GOOD) return sane::StatusOf(status);
        const SANE_Device** devices = nullptr;
        if (const SANE_Status status = sane_get_devices(&devices, SANE_FALSE); status != SANE_STATUS_GOOD)
            return sane::StatusOf(status);
        for (const SANE_Device** d = devices; d && *d; ++d)
            scanners.append({Text((*d)->name), Text((*d)->vendor), Text((*d)->model), Text((*d)->type)});
        return TScanStatus::Good;
    }

    TScanOutcome Scan(const TScanRequest& request, const std::function<void(int)>& progress,
                      const std::atomic_bool& cancel) override {
        const std::lock_guard lock(mutex_);
        TScanOutcome outcome;
        SANE_Handle handle = nullptr;
        SANE_Status status = Start();
        if (status == SANE_STATUS_GOOD) status = sane_open(request.Device.toUtf8().constData(), &handle);
        if (status != SANE_STATUS_GOOD || !handle) {
            outcome.Status = status == SANE_STATUS_GOOD ? TScanStatus::Invalid : sane::StatusOf(status);
            return outcome;
        }
        const TOpenDevice device(handle);
        for (const auto& [name, value] : request.DeviceOptions)
            sane::SetText(handle, name.toUtf8().constData(), value.toStdString());
        // Mode and depth first: they may change the other options' ranges.
        SetMode(handle, request.Colour);
        sane::SetNumber(handle, SANE_NAME_SCAN_RESOLUTION, request.Dpi);
        const QSizeF asSet = ReportedDpi(handle);
        SetExtent(handle, SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_BR_X, request.AreaMm.width(), asSet.width());
        SetExtent(handle, SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_Y, request.AreaMm.height(), asSet.height());
        // Read again: setting the area may have moved the resolution.
        const QSizeF dpi = ReportedDpi(handle);
        outcome = sane::ReadPage(handle, progress, cancel);
        outcome.Dpi = dpi;
        if (!outcome.Image.isNull() && !outcome.Dpi.isEmpty()) {
            outcome.Image.setDotsPerMeterX(qRound(outcome.Dpi.width() / MmPerInch * 1000));
            outcome.Image.setDotsPerMeterY(qRound(outcome.Dpi.height() / MmPerInch * 1000));
        }
        return outcome;
    }

private:
    SANE_Status Start() {
        if (started_) return SANE_STATUS_GOOD;
        SANE_Int version = 0;
        const SANE_Status status = sane_init(&version, nullptr);
        started_ = status == SANE_STATUS_GOOD;
        return status;
    }

    // SANE is not safe for calls from several threads at once.
    std::mutex mutex_;
    bool started_ = false;
};

} // namespace

} // namespace mx

extern "C" Q_DECL_EXPORT mx::TScannerAccess* MxScannerAccessV1() {
    // Never destroyed: see TSaneAccess.
    static auto* access = new mx::TSaneAccess;
    return access;
}
