#include "scan/sane/sane_page.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <vector>

namespace mx::sane {

namespace {

// No sheet comes near 40000 pixels on a side (A3 at 2400 dpi is 28000),
// and no page is held in more than 1 GiB.
constexpr SANE_Int MaxSidePixels = 40000;
constexpr qint64 MaxPageBytes = qint64(1) << 30;
constexpr SANE_Int ReadBlockBytes = 64 * 1024;
constexpr int PollSliceMs = 100;
constexpr std::chrono::milliseconds ReaderEndWait{50};

static_assert(int(TScanStatus::Good) == SANE_STATUS_GOOD && int(TScanStatus::Cancelled) == SANE_STATUS_CANCELLED &&
              int(TScanStatus::Jammed) == SANE_STATUS_JAMMED && int(TScanStatus::IoError) == SANE_STATUS_IO_ERROR &&
              int(TScanStatus::AccessDenied) == SANE_STATUS_ACCESS_DENIED);

struct TFrame {
    SANE_Parameters Params{};
    QByteArray Data;
};

bool IsOneColour(SANE_Frame format) {
    return format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

// Frames of 8 bits per sample: grey, colour, or one colour of three.
TScanStatus Check(const SANE_Parameters& p) {
    if (p.depth != 8 || (p.format != SANE_FRAME_GRAY && p.format != SANE_FRAME_RGB && !IsOneColour(p.format)))
        return TScanStatus::UnknownFormat;
    const qint64 samples = qint64(p.pixels_per_line) * (p.format == SANE_FRAME_RGB ? 3 : 1);
    if (p.pixels_per_line <= 0 || p.bytes_per_line < samples) return TScanStatus::UnknownFormat;
    if (p.pixels_per_line > MaxSidePixels || p.lines > MaxSidePixels) return TScanStatus::TooLarge;
    return TScanStatus::Good;
}

// A frame after the first: one more colour of the same size.
bool Continues(const std::vector<TFrame>& frames, const SANE_Parameters& p) {
    const SANE_Parameters& first = frames.front().Params;
    if (!IsOneColour(first.format) || !IsOneColour(p.format) || frames.size() >= 3) return false;
    if (p.pixels_per_line != first.pixels_per_line) return false;
    return std::none_of(frames.begin(), frames.end(), [&](const TFrame& f) { return f.Params.format == p.format; });
}

TScanStatus Assemble(const std::vector<TFrame>& frames, QImage& image) {
    const SANE_Parameters& first = frames.front().Params;
    const int width = first.pixels_per_line;
    // A device may end early; the page is the lines that all frames have.
    qint64 lines = MaxSidePixels;
    for (const TFrame& f : frames) lines = std::min(lines, f.Data.size() / f.Params.bytes_per_line);
    if (lines <= 0) return TScanStatus::EndOfFile;
    if (IsOneColour(first.format) && frames.size() != 3) return TScanStatus::UnknownFormat;
    const bool grey = first.format == SANE_FRAME_GRAY;
    image = QImage(width, int(lines), grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (image.isNull()) return TScanStatus::NoMemory;
    if (!IsOneColour(first.format)) {
        const size_t rowBytes = size_t(width) * (grey ? 1 : 3);
        for (int y = 0; y < lines; ++y)
            std::memcpy(image.scanLine(y), frames[0].Data.constData() + qint64(y) * first.bytes_per_line, rowBytes);
        return TScanStatus::Good;
    }
    for (const TFrame& f : frames) {
        const int channel = f.Params.format == SANE_FRAME_RED ? 0 : f.Params.format == SANE_FRAME_GREEN ? 1 : 2;
        for (int y = 0; y < lines; ++y) {
            const auto* from = reinterpret_cast<const uchar*>(f.Data.constData()) + qint64(y) * f.Params.bytes_per_line;
            uchar* to = image.scanLine(y) + channel;
            for (int x = 0; x < width; ++x) to[3 * x] = from[x];
        }
    }
    return TScanStatus::Good;
}

// The descriptor a device offers to wait on for data, or -1.
int SelectFd(SANE_Handle device) {
    SANE_Int fd = -1;
    return sane_get_select_fd(device, &fd) == SANE_STATUS_GOOD ? fd : -1;
}

// Waits until the device has data, looking at the cancel flag meanwhile, so
// a cancel is not held up by a slow device; also the driver's own reading
// thread is then past its start should a read fail and the scan be stopped.
void AwaitData(int fd, const std::atomic_bool& cancel) {
    pollfd wait{fd, POLLIN, 0};
    while (!cancel.load())
        if (poll(&wait, 1, PollSliceMs) != 0) return; // data, the end, or an error the read reports
}

// Bytes waiting in the descriptor.
qint64 Queued(int fd) {
    int bytes = 0;
    return ioctl(fd, FIONREAD, &bytes) == 0 ? bytes : 0;
}

// A device that failed a read may still be writing on its own thread; it
// is stopped next. Stopped in the middle of its work it can lock up, so
// wait until it rests (its pipe full, or done) first.
void AwaitReaderAtRest(int fd) {
    constexpr int Steps = 25;
    constexpr std::chrono::milliseconds Step{20};
    for (int i = 0; i < Steps; ++i) {
        const qint64 before = Queued(fd);
        std::this_thread::sleep_for(Step);
        if (Queued(fd) == before) return;
    }
}

} // namespace

TScanStatus StatusOf(SANE_Status status) {
    if (status >= SANE_STATUS_GOOD && status <= SANE_STATUS_ACCESS_DENIED) return TScanStatus(status);
    // Later SANE versions may add codes; all of them mean the device failed.
    return TScanStatus::IoError;
}

TScanOutcome ReadPage(SANE_Handle device, const std::function<void(int)>& progress, const std::atomic_bool& cancel) {
    TScanOutcome outcome;
    bool cancelled = false;
    const auto stop = [&](TScanStep step, TScanStatus status) {
        sane_cancel(device);
        outcome.Step = step;
        outcome.Status = cancelled ? TScanStatus::Cancelled : status;
        return outcome;
    };
    std::vector<TFrame> frames;
    std::vector<SANE_Byte> block(ReadBlockBytes);
    qint64 before = 0; // bytes of the frames already read
    do {
        if (cancel.load()) {
            cancelled = true;
            return stop(TScanStep::Start, TScanStatus::Cancelled);
        }
        SANE_Status status = sane_start(device);
        if (status != SANE_STATUS_GOOD) return stop(TScanStep::Start, StatusOf(status));
        SANE_Parameters p{};
        status = sane_get_parameters(device, &p);
        if (status != SANE_STATUS_GOOD) return stop(TScanStep::Start, StatusOf(status));
        if (const TScanStatus shape = Check(p); shape != TScanStatus::Good) return stop(TScanStep::Start, shape);
        if (!frames.empty() && !Continues(frames, p)) return stop(TScanStep::Start, TScanStatus::UnknownFormat);
        TFrame& frame = frames.emplace_back();
        frame.Params = p;
        const int frameCount = IsOneColour(p.format) ? 3 : 1;
        // Lines may be unknown (-1) until the device has sent them all.
        const qint64 expected = p.lines > 0 ? qint64(p.bytes_per_line) * p.lines : -1;
        const qint64 limit = std::min(MaxPageBytes / frameCount, qint64(p.bytes_per_line) * MaxSidePixels);
        if (expected > limit) return stop(TScanStep::Start, TScanStatus::TooLarge);
        if (expected > 0) frame.Data.reserve(expected);
        const int fd = SelectFd(device);
        bool readerEnded = false;
        for (;;) {
            if (fd >= 0 && !cancelled) {
                AwaitData(fd, cancel);
                // Drivers that read the device on a thread of their own stop
                // it when its last bytes are read, and one stopped while it
                // is ending can lock up. With all bytes written the thread is
                // ending: give it a moment to end by itself.
                if (expected > 0 && !readerEnded && frame.Data.size() + Queued(fd) >= expected) {
                    std::this_thread::sleep_for(ReaderEndWait);
                    readerEnded = true;
                }
            }
            // After sane_cancel the device answers the next read with "cancelled".
            if (cancel.load() && !cancelled) {
                sane_cancel(device);
                cancelled = true;
            }
            SANE_Int length = 0;
            status = sane_read(device, block.data(), ReadBlockBytes, &length);
            if (status == SANE_STATUS_EOF) break;
            if (status != SANE_STATUS_GOOD) {
                if (fd >= 0 && !cancelled) AwaitReaderAtRest(fd);
                return stop(TScanStep::Read, StatusOf(status));
            }
            if (cancelled) continue;
            length = std::clamp(length, 0, ReadBlockBytes);
            if (frame.Data.size() + length > limit) return stop(TScanStep::Read, TScanStatus::TooLarge);
            frame.Data.append(reinterpret_cast<const char*>(block.data()), length);
            if (expected > 0 && progress)
                progress(int(std::min<qint64>(100, (before + frame.Data.size()) * 100 / (expected * frameCount))));
        }
        if (cancelled) return stop(TScanStep::Read, TScanStatus::Cancelled);
        before += frame.Data.size();
    } while (!frames.back().Params.last_frame);
    sane_cancel(device);
    outcome.Step = TScanStep::Read;
    outcome.Status = Assemble(frames, outcome.Image);
    if (outcome.Status == TScanStatus::Good && progress) progress(100);
    return outcome;
}

} // namespace mx::sane
