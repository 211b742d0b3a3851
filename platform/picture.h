#pragma once
// One graphic held by value: the decoded pixels of a GIF or JPEG image.
#include <QImage>

class QByteArray;
class QString;

namespace mx {

class TPicture {
public:
    TPicture() = default;
    explicit TPicture(QImage image);

    // Decoders; corrupt, truncated or oversized data raises EInvalidGraphic.
    static TPicture FromGifData(const QByteArray& data);
    static TPicture FromJpegData(const QByteArray& data);
    // Reads a file or Qt resource and picks the decoder by its signature.
    static TPicture FromResource(const QString& qrcPath);

    bool Empty() const { return image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    const QImage& Image() const { return image_; }
    void Assign(const TPicture& source) { image_ = source.image_; }

    // Largest picture any decoder accepts; checked before pixels are allocated.
    static constexpr int MaxSide = 16384;
    static constexpr qint64 MaxPixels = 64LL * 1024 * 1024;
    static bool SizeAcceptable(qint64 width, qint64 height);

private:
    QImage image_;
};

} // namespace mx
