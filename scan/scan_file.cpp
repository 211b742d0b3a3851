#include "scan/scan_file.h"

#include "scan/scanner.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace mx {

void SaveScanAsPng(const QImage& scan, const QSizeF& dpi, const QString& path) {
    const auto failed = [&path](const QString& why) {
        return EScan(
            QStringLiteral("Der Scan kann nicht als „%1“ gespeichert werden: %2").arg(QFileInfo(path).fileName(), why));
    };
    if (scan.isNull() || dpi.isEmpty()) throw failed(QStringLiteral("es gibt kein Bild"));
    QImage image = scan;
    // PNG keeps the resolution in dots per metre.
    image.setDotsPerMeterX(qRound(dpi.width() / 0.0254));
    image.setDotsPerMeterY(qRound(dpi.height() / 0.0254));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw failed(QStringLiteral("die Datei lässt sich nicht anlegen (%1)").arg(file.errorString()));
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        throw failed(QStringLiteral("das Schreiben ist misslungen (%1)").arg(writer.errorString()));
    }
    if (!file.commit()) throw failed(QStringLiteral("das Schreiben ist misslungen (%1)").arg(file.errorString()));
}

} // namespace mx
