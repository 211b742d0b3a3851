#pragma once
// A scan of a printed sheet to measure: its pixels and the resolution it
// was made at, from a file or as a scanner delivered it. The measurements
// count millimetres by the resolution, so a scan that does not state one
// is refused rather than guessed at.
#include <QImage>
#include <QSizeF>
#include <QString>

namespace mx {

struct TScanImage {
    // Eight-bit grey or opaque RGB.
    QImage Image;
    double Dpi = 0;
};

// The scan in a PNG, JPEG, TIFF or BMP file, at the resolution the file
// stores. Raises EScanReading with a German message naming the file when
// it is missing, unreadable, damaged, too large, or states no resolution
// that a scan can have.
TScanImage ReadScanFile(const QString& path);

// A scanner's image at the resolution it reported (empty: the one asked
// for). Raises EScanReading for a resolution no scan can be measured at.
TScanImage ScannedImage(const QImage& image, const QSizeF& reportedDpi, int requestedDpi);

} // namespace mx
