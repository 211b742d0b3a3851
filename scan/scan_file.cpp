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

} // namespace

QByteArray ScanAsPng(const QImage& scan, const QSizeF& dpi) {
    const QString name = QStringLiteral("PNG");
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

void SaveScanPng(const QByteArray& png, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failed(name, QStringLiteral("die Datei lässt sich nicht anlegen (%1)").arg(file.errorString()));
    if (file.write(png) != png.size() || !file.commit())
        throw Failed(name, QStringLiteral("das Schreiben ist misslungen (%1)").arg(file.errorString()));
}

} // namespace mx
