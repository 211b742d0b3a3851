#pragma once
// A printer's measured deviation and the correction that undoes it. A point
// the printer is told to put at n millimetres from the paper's left (top)
// edge lands at m = Scale * n + OffsetMm; front and back of a sheet each
// have their own pair per axis.
#include "platform/canvas.h"

#include <optional>

namespace mx {

struct PrinterGeometry;

struct TAxisCorrection {
    double OffsetMm = 0;
    double Scale = 1;
    bool operator==(const TAxisCorrection&) const = default;
};

struct TSideCorrection {
    TAxisCorrection X, Y;
    bool operator==(const TSideCorrection&) const = default;
};

struct TPrinterCalibration {
    std::optional<TSideCorrection> Front, Back;
    const std::optional<TSideCorrection>& Side(bool back) const { return back ? Back : Front; }
    bool operator==(const TPrinterCalibration&) const = default;
};

// The most a correction takes on; beyond it the measurement is more likely
// wrong than the printer.
inline constexpr double MaxScaleDeviation = 0.01;
inline constexpr double MaxOffsetMm = 10;

// Within the limits, allowing for a rounding error of values worked out
// from measurements of exactly a limit.
bool ScaleWithinLimit(double scale);
bool OffsetWithinLimit(double mm);
// Finite, the scale within 1 +- MaxScaleDeviation, the offset within
// +- MaxOffsetMm.
bool IsUsable(const TAxisCorrection& axis);
bool IsUsable(const TSideCorrection& side);

// The device rectangle of a job (printable-area coordinates, as FrontRect
// and BackRect give it) after the correction: each edge's paper position
// p becomes trunc((p - Offset_px) / Scale). Nothing, the identity or a side
// that is not usable leave the rectangle exactly as it is. Only the
// geometry's resolution and offsets are read.
TRect CorrectedRect(const TRect& jobRect, const PrinterGeometry& g, const std::optional<TSideCorrection>& side);
// The same for a single point.
QPoint CorrectedPoint(const QPoint& jobPoint, const PrinterGeometry& g, const std::optional<TSideCorrection>& side);

} // namespace mx
