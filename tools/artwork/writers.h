#pragma once
// Output formats of the artwork generator. Each throws std::runtime_error
// when the file cannot be written.
#include <QColor>
#include <QList>

class QImage;
class QString;

namespace artwork {

// Single-frame GIF89a with a global colour table and no transparency;
// the image is reduced to at most 256 colours by median cut.
void WriteGif(const QImage& image, const QString& path);

// Progressive JPEG.
void WriteJpeg(const QImage& image, const QString& path, int quality = 92);

void WritePng(const QImage& image, const QString& path);

// The 16 colours of the standard Windows palette.
const QList<QRgb>& WindowsPalette();

// A 4-bit BMP in the Windows palette; every pixel must be one of its colours.
void WriteWindowsBmp(const QImage& image, const QString& path);

void WriteText(const QByteArray& text, const QString& path);

} // namespace artwork
