#include "backdrop/image_source.h"

#include "backdrop/backdrop_error.h"
#include "backdrop/image_resolution.h"
#include "backdrop/page_source.h"
#include "sheet/sheet_math.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mx {

namespace {

// A stored resolution outside this range is a placeholder, not a scan's.
constexpr double MinPlausibleDpi = 50;
constexpr double MaxPlausibleDpi = 2400;
// Qt's own default limit, set explicitly so the environment cannot raise it.
constexpr int AllocationLimitMB = 256;

bool Plausible(const std::optional<QSizeF>& dpi) {
    const auto inRange = [](double v) { return v >= MinPlausibleDpi && v <= MaxPlausibleDpi; };
    return dpi && inRange(dpi->width()) && inRange(dpi->height());
}

// The readers of the kinds a scan comes in; the others Qt has (icons,
// animations, ...) are no backdrops and widen what hostile files can reach.
bool Accepted(const QByteArray& format) {
    return format == "png" || format == "jpeg" || format == "tiff" || format == "bmp";
}

// Grey scans stay one byte a pixel, everything else becomes opaque RGB on
// white paper.
QImage Normalised(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16: return image.convertToFormat(QImage::Format_Grayscale8);
    default: break;
    }
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    QPainter(&opaque).drawImage(0, 0, image);
    return opaque;
}

// The image as decoded, which may be smaller than the file's.
class TImageSource : public TPageSource {
public:
    TImageSource(QImage image, const QSize& fileSize, std::optional<QSizeF> trueSizeMm)
        : image_(std::move(image)), fileSize_(fileSize), trueSizeMm_(trueSizeMm) {}

    int PageCount() const override { return 1; }
    QSizeF PageSize(int index) const override { return index == 0 ? QSizeF(fileSize_) : QSizeF(); }
    std::optional<QSizeF> TrueSizeMm(int) const override { return trueSizeMm_; }
    bool HasText(int) const override { return false; }
    QList<QRectF> Find(int, const QString&) const override { return {}; }

    QImage Render(int index, const QSize& pageSize, const QRect& region) const override {
        if (index != 0 || pageSize.isEmpty() || region.isEmpty()) return {};
        // Image pixels per rendered pixel.
        const double sx = double(image_.width()) / pageSize.width();
        const double sy = double(image_.height()) / pageSize.height();
        const QRectF source(region.x() * sx, region.y() * sy, region.width() * sx, region.height() * sy);
        QImage out(region.size(), QImage::Format_RGB32);
        out.fill(Qt::white);
        QPainter p(&out);
        if (sx <= 1 && sy <= 1) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(QRectF(out.rect()), image_, source);
            return out;
        }
        // Shrinking: the painter samples without averaging, which breaks up
        // fine print, so the covered pixels are scaled with averaging. The
        // piece is a view into the image, not a copy.
        const QRect covered = source.toAlignedRect() & image_.rect();
        if (covered.isEmpty()) return out;
        const QImage piece(image_.constBits() + covered.y() * image_.bytesPerLine() +
                               covered.x() * (image_.depth() / 8),
                           covered.width(), covered.height(), image_.bytesPerLine(), image_.format());
        const QSize scaled(std::max(1, qRound(covered.width() / sx)), std::max(1, qRound(covered.height() / sy)));
        p.drawImage(QPointF(covered.x() / sx - region.x(), covered.y() / sy - region.y()),
                    piece.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        return out;
    }

private:
    QImage image_;
    QSize fileSize_;
    std::optional<QSizeF> trueSizeMm_;
};

} // namespace

std::unique_ptr<TPageSource> OpenImage(const QByteArray& data, const QString& path) {
    const auto damaged = [&] {
        return EBackdrop(QStringLiteral("Das Bild %1 ist beschädigt").arg(QuotedFileName(path)));
    };
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!Accepted(reader.format()))
        throw EBackdrop(QStringLiteral("Die Datei %1 ist kein PDF-Dokument und kein Bild, das Marbelux lesen kann")
                            .arg(QuotedFileName(path)));
    reader.setAutoTransform(true);
    QImageReader::setAllocationLimit(AllocationLimitMB);

    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) throw damaged();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (size.width() > MaxImageSide || size.height() > MaxImageSide || pixels > MaxImagePixels)
        throw EBackdrop(QStringLiteral("Das Bild %1 ist zu groß (%2 × %3 Pixel)")
                            .arg(QuotedFileName(path), QString::number(size.width()), QString::number(size.height())));
    if (pixels > MaxKeptPixels) reader.setScaledSize(size * std::sqrt(double(MaxKeptPixels) / double(pixels)));

    const QImage image = reader.read();
    if (image.isNull()) throw damaged();
    // A quarter turn from the file's orientation tag swaps the axes.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize fileSize = turned ? size.transposed() : size;
    std::optional<QSizeF> dpi = StoredResolution(data);
    if (dpi && turned) dpi = dpi->transposed();
    std::optional<QSizeF> trueSizeMm;
    if (Plausible(dpi))
        trueSizeMm = QSizeF(fileSize.width() / dpi->width() * MmPerInch, fileSize.height() / dpi->height() * MmPerInch);
    return std::make_unique<TImageSource>(Normalised(image), fileSize, trueSizeMm);
}

} // namespace mx
