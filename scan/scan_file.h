#pragma once
// A scan kept as a PNG file that stores its resolution, so that opened
// again as a backdrop it has the size it had on paper.
class QImage;
class QSizeF;
class QString;

namespace mx {

// Writes the file whole or not at all; raises EScan with a German message.
void SaveScanAsPng(const QImage& image, const QSizeF& dpi, const QString& path);

} // namespace mx
