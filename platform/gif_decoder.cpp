// GIF decoding with giflib, record by record, so that the frame size is
// checked before any pixel memory is allocated and only the first frame is
// read.
#include "platform/exception.h"
#include "platform/picture.h"

#include <QByteArray>
#include <QString>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace mx {
namespace {

struct MemoryReader {
    const GifByteType* data;
    qsizetype size;
    qsizetype pos;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const qsizetype count = std::clamp<qsizetype>(reader->size - reader->pos, 0, length);
    std::memcpy(buffer, reader->data + reader->pos, static_cast<size_t>(count));
    reader->pos += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void Fail(const char* detail) {
    throw EInvalidGraphic(QStringLiteral("Ungültiges GIF-Bild: %1").arg(QString::fromUtf8(detail)));
}

void Check(int result, const char* detail) {
    if (result != GIF_OK) Fail(detail);
}

// Skips an extension; returns the transparent index of a graphic control
// extension, else the one already known.
int ReadExtension(GifFileType* gif, int transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    Check(DGifGetExtension(gif, &code, &block), "Erweiterungsblock");
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
    }
    while (block != nullptr) Check(DGifGetExtensionNext(gif, &block), "Erweiterungsblock");
    return transparent;
}

QImage ReadFrame(GifFileType* gif, int transparent) {
    Check(DGifGetImageDesc(gif), "Bildbeschreibung");
    const GifImageDesc& desc = gif->Image;
    const qint64 left = desc.Left, top = desc.Top, width = desc.Width, height = desc.Height;
    if (!TPicture::SizeAcceptable(width, height) || left + width > gif->SWidth || top + height > gif->SHeight)
        Fail("Bildgröße");

    const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    if (map == nullptr || map->Colors == nullptr || map->ColorCount <= 0) Fail("keine Farbtabelle");

    const bool covers = left == 0 && top == 0 && width == gif->SWidth && height == gif->SHeight;
    const bool alpha = !covers || (transparent >= 0 && transparent < map->ColorCount);
    QImage image(gif->SWidth, gif->SHeight, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) Fail("kein Speicher");
    if (alpha) image.fill(Qt::transparent);

    std::vector<GifPixelType> line(static_cast<size_t>(width));
    auto store = [&](int row) {
        Check(DGifGetLine(gif, line.data(), static_cast<int>(width)), "Bilddaten");
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(top) + row)) + left;
        for (qint64 x = 0; x < width; ++x) {
            const int index = line[static_cast<size_t>(x)];
            if (index >= map->ColorCount) Fail("Farbindex außerhalb der Farbtabelle");
            if (index == transparent) continue;
            const GifColorType& c = map->Colors[index];
            out[x] = qRgb(c.Red, c.Green, c.Blue);
        }
    };
    const int h = static_cast<int>(height);
    if (desc.Interlace) {
        static constexpr int start[] = {0, 4, 2, 1};
        static constexpr int step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int row = start[pass]; row < h; row += step[pass]) store(row);
    } else {
        for (int row = 0; row < h; ++row) store(row);
    }
    return image;
}

} // namespace

TPicture TPicture::FromGifData(const QByteArray& data) {
    MemoryReader reader{reinterpret_cast<const GifByteType*>(data.constData()), data.size(), 0};
    int error = 0;
    GifHandle gif(DGifOpen(&reader, ReadMemory, &error));
    if (!gif) Fail("Kopf");
    if (gif->SWidth <= 0 || gif->SHeight <= 0 || !SizeAcceptable(gif->SWidth, gif->SHeight)) Fail("Bildgröße");

    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        Check(DGifGetRecordType(gif.get(), &type), "Datensatz");
        switch (type) {
        case IMAGE_DESC_RECORD_TYPE: return TPicture(ReadFrame(gif.get(), transparent));
        case EXTENSION_RECORD_TYPE: transparent = ReadExtension(gif.get(), transparent); break;
        case TERMINATE_RECORD_TYPE: Fail("kein Bild enthalten");
        default: Fail("Datensatz");
        }
    }
}

} // namespace mx
