#pragma once
// A scan kept as PNG that stores its resolution, so that opened again as a
// backdrop it has the size it had on paper. Compressing a page takes a
// good part of a second: not on the window's thread for a large scan.
class QByteArray;
class QImage;
class QSizeF;
class QString;

namespace mx {

// The PNG file's contents; raises EScan with a German message.
QByteArray ScanAsPng(const QImage& image, const QSizeF& dpi);

// Writes the contents ScanAsPng gave to the file, whole or not at all;
// raises EScan with a German message.
void SaveScanPng(const QByteArray& png, const QString& path);

} // namespace mx
