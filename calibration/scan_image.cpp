#include "calibration/scan_image.h"

#include "backdrop/backdrop_error.h"
#include "backdrop/image_resolution.h"
#include "calibration/calibration_text.h"
#include "sheetscan/scan_error.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <cmath>
#include <optional>

namespace mx {

namespace {

// What the measurements can work with: coarser scans cannot place a mark,
// finer ones only take longer. An A4 page at 1200 dpi is 140 million
// pixels, more than anyone keeps; the limit is A3 at 600 dpi.
constexpr double MinDpi = 100, MaxDpi = 1200;
constexpr qint64 MaxPixels = 45'000'000;
constexpr qint64 MaxFileBytes = qint64(512) << 20;
// Scanners state their resolution to the dot; a file's may be rounded
// through centimetres.
constexpr double SquareTolerance = 0.01;

// Resolutions are written without a thousands separator, as scanners show them.
QString DpiText(double dpi) {
    return std::abs(dpi - std::round(dpi)) < 0.05 ? QString::number(std::lround(dpi)) : DecimalText(dpi, 1);
}

// The one resolution across and down, or why there is none. `what` names
// the scan for the message.
double SquareDpi(const std::optional<QSizeF>& dpi, const QString& what) {
    if (!dpi)
        throw EScanReading(QString("%1 nennt keine Auflösung. Scannen Sie das Blatt mit Marbelux oder speichern Sie "
                                   "den Scan als PNG, JPEG oder TIFF mit seiner Auflösung")
                               .arg(what));
    const double x = dpi->width(), y = dpi->height();
    if (!(std::abs(x / y - 1) <= SquareTolerance) || !(x >= MinDpi && x <= MaxDpi))
        throw EScanReading(QString("%1 hat eine Auflösung von %2 × %3 dpi. Ausgewertet werden Scans mit %4 bis %5 "
                                   "dpi, quer und längs gleich")
                               .arg(what, DpiText(x), DpiText(y), DpiText(MinDpi), DpiText(MaxDpi)));
    return (x + y) / 2;
}

// Grey stays one byte a pixel; everything else becomes opaque RGB on white
// paper.
QImage Normalised(const QImage& image) {
    if (image.isGrayscale() && !image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_Grayscale8);
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    QPainter(&opaque).drawImage(0, 0, image);
    return opaque;
}

QString TooLarge(const QString& what, const QSize& size) {
    return QString("%1 ist zu groß (%2 × %3 Pixel). Scannen Sie das Blatt mit 300 oder 600 dpi")
        .arg(what, QString::number(size.width()), QString::number(size.height()));
}

} // namespace

TScanImage ReadScanFile(const QString& path) {
    const QString name = QuotedFileName(path);
    const QFileInfo info(path);
    if (!info.exists()) throw EScanReading(QString("Die Datei %1 gibt es nicht").arg(name));
    const auto unreadable = [&] { return EScanReading(QString("Die Datei %1 kann nicht gelesen werden").arg(name)); };
    if (!info.isFile()) throw unreadable();
    if (info.size() > MaxFileBytes)
        throw EScanReading(
            QString("Die Datei %1 ist zu groß (mehr als %2 MB)").arg(name, QString::number(MaxFileBytes >> 20)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw unreadable();
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) throw unreadable();

    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    // The kinds scans come in; Qt's other readers only widen what a hostile
    // file can reach.
    if (format != "png" && format != "jpeg" && format != "tiff" && format != "bmp")
        throw EScanReading(
            QString("Die Datei %1 ist kein Scan, den Marbelux lesen kann (PNG, JPEG, TIFF oder BMP)").arg(name));
    reader.setAutoTransform(true);
    const QString what = QString("Der Scan %1").arg(name);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) throw EScanReading(QString("Der Scan %1 ist beschädigt").arg(name));
    if (qint64(size.width()) * size.height() > MaxPixels) throw EScanReading(TooLarge(what, size));
    // A quarter turn from the file's orientation tag swaps the axes.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    std::optional<QSizeF> dpi = StoredResolution(data);
    if (dpi && turned) dpi = dpi->transposed();
    TScanImage scan;
    scan.Dpi = SquareDpi(dpi, what);
    const QImage decoded = reader.read();
    if (decoded.isNull()) throw EScanReading(QString("Der Scan %1 ist beschädigt").arg(name));
    scan.Image = Normalised(decoded);
    return scan;
}

TScanImage ScannedImage(const QImage& image, const QSizeF& reportedDpi, int requestedDpi) {
    const QString what = "Der Scan";
    if (qint64(image.width()) * image.height() > MaxPixels) throw EScanReading(TooLarge(what, image.size()));
    const QSizeF dpi = reportedDpi.isEmpty() ? QSizeF(requestedDpi, requestedDpi) : reportedDpi;
    return {Normalised(image), SquareDpi(dpi, what)};
}

} // namespace mx
