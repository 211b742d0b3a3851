#pragma once
// A scan or photo as a one-page backdrop, read by Qt's image readers. Its
// text is what reading the scan found, given to it afterwards.
#include "backdrop/page_source.h"

#include <memory>
#include <vector>

class QByteArray;
class QString;

namespace mx {

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

// The image as decoded, which may be smaller than the file's, with its
// halvings; made where it is loaded, off the window's thread. Its page
// units are the file's pixels.
class TImageSource : public TPageSource {
public:
    TImageSource(QImage image, const QSize& fileSize, std::optional<QSizeF> trueSizeMm);

    int PageCount() const override { return 1; }
    QSizeF PageSize(int index) const override { return index == 0 ? QSizeF(fileSize_) : QSizeF(); }
    std::optional<QSizeF> TrueSizeMm(int) const override { return trueSizeMm_; }
    bool HasText(int) const override { return !words_.isEmpty(); }
    TTextWords Words(int) const override { return words_; }
    QImage Render(int index, const QSize& pageSize, const QRect& region) const override;

    // The image as decoded: grey (Format_Grayscale8) or RGB32.
    const QImage& Decoded() const { return levels_.front(); }
    // The words read on the decoded image, boxes in its pixels; they become
    // the page's words in the file's pixels.
    void SetDecodedWords(const TTextWords& words);

private:
    std::vector<QImage> levels_;
    QSize fileSize_;
    std::optional<QSizeF> trueSizeMm_;
    TTextWords words_;
};

// The decoded PNG, JPEG, TIFF or BMP image; throws EBackdrop naming path
// when data is none of them, damaged or too large. control, when given,
// hears the progress and may cancel (the result is then null).
std::unique_ptr<TImageSource> OpenImage(const QByteArray& data, const QString& path, TJobControl* control = nullptr);

} // namespace mx
