#pragma once
// A scan or photo as a one-page backdrop, read by Qt's image readers.
#include <memory>

class QByteArray;
class QString;

namespace mx {

class TPageSource;

// Largest image accepted, checked before any pixel is decoded: a side of
// 20000 pixels is an A4 page at 2400 dpi; 64 million pixels are 256 MB.
inline constexpr int MaxImageSide = 20000;
inline constexpr long long MaxImagePixels = 64'000'000;
// Larger images are decoded smaller, to this many pixels (an A4 page at
// about 400 dpi, finer than the preview shows at zoom 500), so that a
// colour scan does not hold 256 MB for as long as it is the backdrop.
inline constexpr long long MaxKeptPixels = 16'000'000;

// The decoded PNG, JPEG, TIFF or BMP image; throws EBackdrop naming path
// when data is none of them, damaged or too large.
std::unique_ptr<TPageSource> OpenImage(const QByteArray& data, const QString& path);

} // namespace mx
