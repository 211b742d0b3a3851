#pragma once
// The resolution an image file itself stores. Qt's readers fill in a
// default resolution when a file has none, so their figure cannot tell a
// scan that says "96 dpi" from one that says nothing; the backdrop needs
// that difference to choose between true size and fitting to the sheet.
#include <QSizeF>
#include <optional>

class QByteArray;

namespace mx {

// Horizontal and vertical dots per inch stored in a PNG (pHYs in metres),
// JPEG (JFIF density in inches or centimetres, else the EXIF resolution),
// TIFF (resolution with an inch or centimetre unit) or BMP (pixels per
// metre) file; none for other files and when the file stores no unit.
std::optional<QSizeF> StoredResolution(const QByteArray& data);

} // namespace mx
