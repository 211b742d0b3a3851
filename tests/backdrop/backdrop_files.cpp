#include "tests/backdrop/backdrop_files.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <png.h>
#include <vector>

#include "geometry/sheet_math.h"

namespace mx::test {

namespace {

constexpr int PdfDpi = 1200;
constexpr double QtMmPerInch = 25.4; // the writer's own conversion

double ToDevice(double mm) { return mm / QtMmPerInch * PdfDpi; }

QFont TestFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(12);
    return font;
}

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

quint32 Crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

QByteArray BigEndian32(quint32 v) {
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray PngChunk(const QByteArray& typeAndData) {
    return BigEndian32(quint32(typeAndData.size() - 4)) + typeAndData + BigEndian32(Crc32(typeAndData));
}

// Removes every chunk of a type from a PNG file.
QByteArray WithoutPngChunk(const QByteArray& png, const char* type) {
    QByteArray out = png.left(8);
    for (qsizetype at = 8; at + 8 <= png.size();) {
        const qsizetype length = qFromBigEndian<quint32>(png.constData() + at);
        if (png.mid(at + 4, 4) != type) out += png.mid(at, 12 + length);
        at += 12 + length;
    }
    return out;
}

} // namespace

QByteArray MakePdf(const QList<TTestPage>& pages) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(PdfDpi);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(pages.front().SizeMm, QPageSize::Millimeter));
    QPainter painter(&writer);
    painter.setFont(TestFont());
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            writer.setPageSize(QPageSize(pages[i].SizeMm, QPageSize::Millimeter));
            writer.newPage();
        }
        for (const QRectF& r : pages[i].BlackRectsMm)
            painter.fillRect(QRectF(ToDevice(r.x()), ToDevice(r.y()), ToDevice(r.width()), ToDevice(r.height())),
                             Qt::black);
        for (const TTestText& t : pages[i].Texts)
            painter.drawText(QPointF(ToDevice(t.BaselineMm.x()), ToDevice(t.BaselineMm.y())), t.Text);
    }
    painter.end();
    return buffer.data();
}

QSizeF WrittenSizeMm(const TTestPage& page) {
    return QPageSize(page.SizeMm, QPageSize::Millimeter).sizePoints().toSizeF() / 72 * MmPerInch;
}

QRectF TextBoxMm(const TTestText& text) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(PdfDpi);
    const QFontMetricsF metrics(TestFont(), &writer);
    const double mmPerDevice = QtMmPerInch / PdfDpi;
    return QRectF(text.BaselineMm.x(), text.BaselineMm.y() - metrics.ascent() * mmPerDevice,
                  metrics.horizontalAdvance(text.Text) * mmPerDevice,
                  (metrics.ascent() + metrics.descent()) * mmPerDevice);
}

QByteArray Encrypted(const QByteArray& pdf) {
    const QString in = WriteFile(QStringLiteral("plain.pdf"), pdf);
    const QString out = Folder().filePath(QStringLiteral("locked.pdf"));
    QProcess gs;
    gs.start(QStringLiteral("gs"), {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite", "-sOwnerPassword=a",
                                    "-sUserPassword=b", "-sOutputFile=" + out, in});
    if (!gs.waitForFinished(60000) || gs.exitCode() != 0) return {};
    QFile file(out);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray MakeImage(const QSize& size, const QRect& black, const char* format, double dpi) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(black, Qt::black);
    return ImageFile(image, format, dpi);
}

QByteArray ImageFile(QImage image, const char* format, double dpi) {
    if (dpi > 0) {
        image.setDotsPerMeterX(qRound(dpi / QtMmPerInch * 1000));
        image.setDotsPerMeterY(qRound(dpi / QtMmPerInch * 1000));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) return {};
    // Qt writes its default resolution when the image has none of its own.
    return dpi > 0 || qstrcmp(format, "png") != 0 ? buffer.data() : WithoutPngChunk(buffer.data(), "pHYs");
}

QByteArray PngHeaderClaiming(int width, int height) {
    QByteArray ihdr = "IHDR" + BigEndian32(quint32(width)) + BigEndian32(quint32(height));
    ihdr += QByteArray("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, no interlace
    // The readers learn the size only once they reach the pixel data: a
    // zlib stream's header and the first bytes of a stored block.
    const QByteArray idat = "IDAT" + QByteArray("\x78\x01\x00\x00\x80\xFF\x7F", 7) + QByteArray(64, '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk(ihdr) + PngChunk(idat);
}

namespace {

void AppendToArray(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

} // namespace

QByteArray StreamedGreyPng(int width, int height, double dpi,
                           const std::function<void(int y, unsigned char* line)>& row) {
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToArray, nullptr);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const auto perMetre = png_uint_32(dpi / 0.0254 + 0.5);
    png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    std::vector<unsigned char> line(size_t(width), 0xFF);
    for (int y = 0; y < height; ++y) {
        row(y, line.data());
        png_write_row(png, line.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

QString WriteFile(const QString& name, const QByteArray& data) {
    const QString path = Folder().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) return {};
    return path;
}

} // namespace mx::test
