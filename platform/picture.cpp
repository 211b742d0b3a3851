#include "platform/picture.h"

#include "platform/exception.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace mx {

TPicture::TPicture(QImage image) : image_(std::move(image)) {}

bool TPicture::SizeAcceptable(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide && width * height <= MaxPixels;
}

TPicture TPicture::FromResource(const QString& qrcPath) {
    QFile file(qrcPath);
    if (!file.open(QIODevice::ReadOnly))
        throw EInvalidGraphic(QStringLiteral("Das Bild %1 kann nicht gelesen werden").arg(qrcPath));
    const QByteArray data = file.readAll();
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a")) return FromGifData(data);
    if (data.startsWith("\xFF\xD8")) return FromJpegData(data);
    throw EInvalidGraphic(QStringLiteral("Unbekanntes Bildformat: %1").arg(qrcPath));
}

} // namespace mx
