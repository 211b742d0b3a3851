#pragma once
// The pages of a loaded backdrop file, as the backdrop needs them. Images
// and PDF documents each have one implementation; the PDF one lives in a
// module of its own (see pdf_module.h), so this header is all the two
// sides share and must stay free of anything but Qt value types.
#include "platform/text_word.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <optional>

namespace mx {

class TPageSource {
public:
    virtual ~TPageSource() = default;

    virtual int PageCount() const = 0;
    // A page's size in the source's own units (points, image pixels),
    // upright as it is shown; empty when the page cannot be had.
    virtual QSizeF PageSize(int index) const = 0;
    // The page's size on paper when the file says it (PDF pages always, an
    // image only with a plausible stored resolution).
    virtual std::optional<QSizeF> TrueSizeMm(int index) const = 0;
    virtual bool HasText(int index) const = 0;
    // The page's words in reading order, their boxes in page units from its
    // top-left corner; none for a page without text.
    virtual TTextWords Words(int index) const = 0;
    // The part region of the page scaled to pageSize pixels (region in
    // those pixels); a null image when it cannot be rendered.
    virtual QImage Render(int index, const QSize& pageSize, const QRect& region) const = 0;
};

// Why opening a PDF document gave no source.
enum class TPdfOpenStatus { Opened, Damaged, Locked };

// The PDF module's one entry point.
using TOpenPdfFunction = TPageSource* (*)(const QByteArray& data, TPdfOpenStatus& status);
inline constexpr const char* OpenPdfSymbol = "MxOpenPdfV2";

} // namespace mx
