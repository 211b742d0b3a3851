#pragma once
// Backdrop files the tests make themselves: PDF pages written by Qt's PDF
// writer with text and dark rectangles at known places, images with and
// without a stored resolution, and damaged or hostile variants.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>

namespace mx::test {

struct TTestText {
    QString Text;
    QPointF BaselineMm; // start of the text's baseline
};

struct TTestPage {
    QSizeF SizeMm{210, 297};
    QList<TTestText> Texts;
    QList<QRectF> BlackRectsMm;
};

// A PDF document with one page per entry.
QByteArray MakePdf(const QList<TTestPage>& pages);
// A page's size as the writer stores it, in whole points.
QSizeF WrittenSizeMm(const TTestPage& page);
// Where the writer put a text: its font box (ascent to descent, advance
// width) in millimetres from the page's top-left corner.
QRectF TextBoxMm(const TTestText& text);

// The same document made readable only with a password (by ghostscript).
QByteArray Encrypted(const QByteArray& pdf);

// A white image with a black rectangle (pixel coordinates), in format
// ("png", "jpeg", "tiff", "bmp") storing dpi; a PNG stores no resolution
// when dpi is 0.
QByteArray MakeImage(const QSize& size, const QRect& black, const char* format, double dpi);
// The image as a file in format storing dpi, as MakeImage writes it.
QByteArray ImageFile(QImage image, const char* format, double dpi);
// A PNG file whose header claims a size, with the start of its pixel data.
QByteArray PngHeaderClaiming(int width, int height);
// An 8-bit grey PNG written row by row (never a buffer of its whole size),
// stating dpi in its pHYs chunk; row(y, line) fills a line of width bytes.
QByteArray StreamedGreyPng(int width, int height, double dpi,
                           const std::function<void(int y, unsigned char* line)>& row);

// Writes data to a fresh file in a folder that lives as long as the test
// program; returns its path.
QString WriteFile(const QString& name, const QByteArray& data);

} // namespace mx::test
