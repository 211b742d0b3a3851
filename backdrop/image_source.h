#pragma once
// A scan or photo as a one-page backdrop, read by Qt's image readers.
#include <memory>

class QByteArray;
class QString;

namespace mx {

class TPageSource;

class TJobControl;

// Largest image accepted, checked before any pixel is decoded: what no
// scanner makes. An A3 page at 2400 dpi is 28063 x 39685 pixels.
inline constexpr int MaxImageSide = 40000;
inline constexpr long long MaxImagePixels = 1'200'000'000;
// Larger images are decoded smaller, to this many pixels at most (an A4
// page at about 400 dpi, finer than the preview shows at zoom 500), so
// that a colour scan does not hold 256 MB for as long as it is the
// backdrop. PNG and JPEG files are reduced while they are decoded; other
// kinds are decoded whole first, which Qt allows up to 256 MB.
inline constexpr long long MaxKeptPixels = 16'000'000;

// The decoded PNG, JPEG, TIFF or BMP image; throws EBackdrop naming path
// when data is none of them, damaged or too large. control, when given,
// hears the progress and may cancel (the result is then null).
std::unique_ptr<TPageSource> OpenImage(const QByteArray& data, const QString& path, TJobControl* control = nullptr);

} // namespace mx
