// JPEG decoder: any bytes either decode to a picture within the size limits
// or raise EInvalidGraphic.
#include "platform/exception.h"
#include "platform/picture.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const mx::TPicture picture = mx::TPicture::FromJpegData(bytes);
        if (picture.Empty() || !mx::TPicture::SizeAcceptable(picture.Width(), picture.Height())) std::abort();
    } catch (const mx::EInvalidGraphic&) {}
    return 0;
}
