#pragma once
// PNG scans decoded row by row and reduced by a whole factor on the way, so
// a 1200-dpi page never needs a buffer of its full size.
#include <QImage>
#include <functional>
#include <optional>

class QByteArray;

namespace mx {

struct TPngReading {
    // Called with the share of rows decoded so far, 0 to 100.
    std::function<void(int percent)> Progress;
    // Polled between rows; true stops the decoding (no image then).
    std::function<bool()> Cancelled;
};

// The image reduced by `factor` in both directions (each pixel the average
// of a factor x factor block; partial blocks at the right and bottom
// edges average what they have): 8-bit grey for grey files, RGB32 for
// colour ones, transparency laid over white. Nothing when the data is
// damaged, the decoding was cancelled, or the file is interlaced (whose
// rows come in passes; read those with Qt's reader).
std::optional<QImage> ReadPngReduced(const QByteArray& data, int factor, const TPngReading& reading = {});

} // namespace mx
