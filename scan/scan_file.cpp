#include "scan/scan_file.h"

#include "scan/scanner.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace mx {

namespace {

EScan Failed(const QString& name, const QString& why) {
    return EScan(QStringLiteral("Der Scan kann nicht als „%1“ gespeichert werden: %2").arg(name, why));
}

// name: what the messages call the result.
QByteArray Png(const QImage& scan, const QSizeF& dpi, const QString& name) {
    if (scan.isNull() || dpi.isEmpty()) throw Failed(name, QStringLiteral("es gibt kein Bild"));
    QImage image = scan;
    // PNG keeps the resolution in dots per metre.
    image.setDotsPerMeterX(qRound(dpi.width() / 0.0254));
    image.setDotsPerMeterY(qRound(dpi.height() / 0.0254));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw Failed(name, QStringLiteral("das Schreiben ist misslungen (%1)").arg(writer.errorString()));
    return buffer.data();
}

} // namespace

QByteArray ScanAsPng(const QImage& image, const QSizeF& dpi) { return Png(image, dpi, QStringLiteral("PNG")); }

void SaveScanAsPng(const QImage& image, const QSizeF& dpi, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QByteArray png = Png(image, dpi, name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failed(name, QStringLiteral("die Datei lässt sich nicht anlegen (%1)").arg(file.errorString()));
    if (file.write(png) != png.size() || !file.commit())
        throw Failed(name, QStringLiteral("das Schreiben ist misslungen (%1)").arg(file.errorString()));
}

} // namespace mx
