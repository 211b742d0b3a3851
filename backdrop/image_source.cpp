#include "backdrop/image_source.h"

#include "backdrop/backdrop_error.h"
#include "backdrop/image_resolution.h"
#include "backdrop/page_source.h"
#include "backdrop/png_reader.h"
#include "geometry/sheet_math.h"
#include "platform/background_job.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

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

// Halves of the image down to about a screen's size: a render at a low
// zoom then shrinks a small picture, not the whole scan.
std::vector<QImage> Halvings(QImage image) {
    constexpr int SmallestSide = 512;
    std::vector<QImage> levels{std::move(image)};
    while (std::min(levels.back().width(), levels.back().height()) / 2 >= SmallestSide) {
        const QImage& last = levels.back();
        levels.push_back(
            last.scaled(last.width() / 2, last.height() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    return levels;
}

} // namespace

TImageSource::TImageSource(QImage image, const QSize& fileSize, std::optional<QSizeF> trueSizeMm)
    : levels_(Halvings(std::move(image))), fileSize_(fileSize), trueSizeMm_(trueSizeMm) {}

QImage TImageSource::Render(int index, const QSize& pageSize, const QRect& region) const {
    if (index != 0 || pageSize.isEmpty() || region.isEmpty()) return {};
    // The smallest halving still at least as large as the render.
    auto level = levels_.rbegin();
    while (level->width() < pageSize.width() || level->height() < pageSize.height()) {
        if (std::next(level) == levels_.rend()) break;
        ++level;
    }
    const QImage& image = *level;
    // Image pixels per rendered pixel.
    const double sx = double(image.width()) / pageSize.width();
    const double sy = double(image.height()) / pageSize.height();
    const QRectF source(region.x() * sx, region.y() * sy, region.width() * sx, region.height() * sy);
    QImage out(region.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    if (sx <= 1 && sy <= 1) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(out.rect()), image, source);
        return out;
    }
    // Shrinking: the painter samples without averaging, which breaks up
    // fine print, so the covered pixels are scaled with averaging. The
    // piece is a view into the image, not a copy; Qt may read a view's
    // last row to its full stride, so a view that would end past the
    // image's buffer (the bottom rows, not from the left edge) is a copy.
    const QRect covered = source.toAlignedRect() & image.rect();
    if (covered.isEmpty()) return out;
    const bool viewFits = covered.x() == 0 || covered.bottom() < image.height() - 1;
    const QImage piece =
        viewFits ? QImage(image.constBits() + covered.y() * image.bytesPerLine() + covered.x() * (image.depth() / 8),
                          covered.width(), covered.height(), image.bytesPerLine(), image.format())
                 : image.copy(covered);
    const QSize scaled(std::max(1, qRound(covered.width() / sx)), std::max(1, qRound(covered.height() / sy)));
    p.drawImage(QPointF(covered.x() / sx - region.x(), covered.y() / sy - region.y()),
                piece.scaled(scaled, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return out;
}

void TImageSource::SetDecodedWords(const TTextWords& words) {
    const double sx = double(fileSize_.width()) / Decoded().width();
    const double sy = double(fileSize_.height()) / Decoded().height();
    words_ = words;
    for (TTextWord& word : words_)
        word.Box = QRectF(word.Box.x() * sx, word.Box.y() * sy, word.Box.width() * sx, word.Box.height() * sy);
}

namespace {

// The whole factor that brings an image down to MaxKeptPixels.
int ReductionFactor(const QSize& size) {
    const double pixels = double(size.width()) * size.height();
    return std::max(1, int(std::ceil(std::sqrt(pixels / double(MaxKeptPixels)))));
}

// Qt's reader, reducing JPEG pages while it decodes them; other kinds are
// decoded whole and then scaled.
QImage ReadWithQt(QImageReader& reader, const QSize& size) {
    if (qint64(size.width()) * size.height() > MaxKeptPixels)
        reader.setScaledSize(size * std::sqrt(double(MaxKeptPixels) / (double(size.width()) * size.height())));
    return reader.read();
}

} // namespace

std::unique_ptr<TImageSource> OpenImage(const QByteArray& data, const QString& path, TJobControl* control) {
    const auto damaged = [&] {
        return EBackdrop(QStringLiteral("Das Bild %1 ist beschädigt").arg(QuotedFileName(path)));
    };
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (!Accepted(format))
        throw EBackdrop(QStringLiteral("Die Datei %1 ist kein PDF-Dokument und kein Bild, das Marbelux lesen kann")
                            .arg(QuotedFileName(path)));
    reader.setAutoTransform(true);
    QImageReader::setAllocationLimit(AllocationLimitMB);

    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) throw damaged();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (size.width() > MaxImageSide || size.height() > MaxImageSide || pixels > MaxImagePixels)
        throw EBackdrop(QStringLiteral("Das Bild %1 ist zu groß (%2 × %3 Pixel); Marbelux liest Scans bis zu %4 "
                                       "Pixeln Kantenlänge und %5 Millionen Pixeln, ein A3-Blatt mit 2400 dpi")
                            .arg(QuotedFileName(path), QString::number(size.width()), QString::number(size.height()),
                                 QString::number(MaxImageSide), QString::number(MaxImagePixels / 1'000'000)));

    std::optional<QImage> decoded;
    if (format == "png") {
        TPngReading reading;
        if (control) {
            reading.Progress = [control](int percent) { control->Progress(percent); };
            reading.Cancelled = [control] { return control->CancelRequested(); };
        }
        decoded = ReadPngReduced(data, ReductionFactor(size), reading);
        if (control && control->CancelRequested()) return nullptr;
    }
    // Interlaced PNG files come in passes: Qt's reader takes those.
    if (!decoded) decoded = ReadWithQt(reader, size);
    if (decoded->isNull()) {
        // Qt refuses what would take more than its limit to decode whole.
        if (format != "png" && format != "jpeg" && pixels > MaxKeptPixels)
            throw EBackdrop(QStringLiteral("Das Bild %1 ist zu groß, um es als %2 zu lesen (%3 × %4 Pixel); als PNG "
                                           "oder JPEG gespeichert liest Marbelux es verkleinert")
                                .arg(QuotedFileName(path), QString::fromLatin1(format.toUpper()),
                                     QString::number(size.width()), QString::number(size.height())));
        throw damaged();
    }
    // A quarter turn from the file's orientation tag swaps the axes.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize fileSize = turned ? size.transposed() : size;
    std::optional<QSizeF> dpi = StoredResolution(data);
    if (dpi && turned) dpi = dpi->transposed();
    std::optional<QSizeF> trueSizeMm;
    if (Plausible(dpi))
        trueSizeMm = QSizeF(fileSize.width() / dpi->width() * MmPerInch, fileSize.height() / dpi->height() * MmPerInch);
    if (control) control->Progress(100);
    return std::make_unique<TImageSource>(Normalised(*decoded), fileSize, trueSizeMm);
}

} // namespace mx
