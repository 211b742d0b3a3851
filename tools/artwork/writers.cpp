#include "writers.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QString>

#include <gif_lib.h>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace artwork {
namespace {

[[noreturn]] void Fail(const QString& what, const QString& path) {
    throw std::runtime_error(QStringLiteral("%1: %2").arg(path, what).toStdString());
}

// ---- median cut --------------------------------------------------------

struct Entry {
    QRgb color;
    int count;
};

int Channel(QRgb c, int axis) { return axis == 0 ? qRed(c) : axis == 1 ? qGreen(c) : qBlue(c); }

struct Box {
    std::vector<Entry> entries;
    int Range(int axis) const {
        int lo = 255, hi = 0;
        for (const Entry& e : entries) {
            lo = std::min(lo, Channel(e.color, axis));
            hi = std::max(hi, Channel(e.color, axis));
        }
        return hi - lo;
    }
    qint64 Weight() const {
        qint64 w = 0;
        for (const Entry& e : entries) w += e.count;
        return w;
    }
    QRgb Mean() const {
        qint64 r = 0, g = 0, b = 0, n = 0;
        for (const Entry& e : entries) {
            r += qint64(qRed(e.color)) * e.count;
            g += qint64(qGreen(e.color)) * e.count;
            b += qint64(qBlue(e.color)) * e.count;
            n += e.count;
        }
        return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
    }
};

std::vector<QRgb> MedianCut(const QHash<QRgb, int>& histogram, int colors) {
    std::vector<Box> boxes(1);
    for (auto it = histogram.begin(); it != histogram.end(); ++it) boxes[0].entries.push_back({it.key(), it.value()});
    // Hash order varies between runs; sorting keeps the output reproducible.
    std::sort(boxes[0].entries.begin(), boxes[0].entries.end(),
              [](const Entry& a, const Entry& b) { return a.color < b.color; });
    while (int(boxes.size()) < colors) {
        // Split the box whose widest channel, weighted by its pixel count, is largest.
        size_t best = 0;
        double bestScore = -1;
        int bestAxis = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].entries.size() < 2) continue;
            for (int axis = 0; axis < 3; ++axis) {
                const double score = double(boxes[i].Range(axis)) * std::sqrt(double(boxes[i].Weight()));
                if (score > bestScore) {
                    bestScore = score;
                    best = i;
                    bestAxis = axis;
                }
            }
        }
        if (bestScore <= 0) break;
        std::vector<Entry>& e = boxes[best].entries;
        std::stable_sort(e.begin(), e.end(), [bestAxis](const Entry& a, const Entry& b) {
            return Channel(a.color, bestAxis) < Channel(b.color, bestAxis);
        });
        const qint64 half = boxes[best].Weight() / 2;
        qint64 sum = 0;
        size_t cut = 0;
        while (cut + 1 < e.size() && sum + e[cut].count <= half) sum += e[cut++].count;
        cut = std::max<size_t>(cut, 1);
        Box upper;
        upper.entries.assign(e.begin() + qsizetype(cut), e.end());
        e.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<QRgb> palette;
    for (const Box& box : boxes) palette.push_back(box.Mean());
    return palette;
}

int Nearest(const std::vector<QRgb>& palette, QRgb c) {
    int best = 0, bestDistance = INT_MAX;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                  db = qBlue(c) - qBlue(palette[i]);
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

int AppendToFile(GifFileType* gif, const GifByteType* bytes, int length) {
    return int(std::fwrite(bytes, 1, size_t(length), static_cast<std::FILE*>(gif->UserData)));
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

FileHandle OpenForWriting(const QString& path) {
    FileHandle file(std::fopen(QFile::encodeName(path).constData(), "wb"));
    if (!file) Fail(QStringLiteral("cannot open"), path);
    return file;
}

} // namespace

void WriteGif(const QImage& source, const QString& path) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> histogram;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) ++histogram[line[x] | 0xFF000000u];
    }
    const std::vector<QRgb> palette = MedianCut(histogram, 256);
    QHash<QRgb, int> lookup;
    for (auto it = histogram.begin(); it != histogram.end(); ++it) lookup.insert(it.key(), Nearest(palette, it.key()));

    int bits = 1;
    while ((1 << bits) < int(palette.size())) ++bits;
    std::vector<GifColorType> colors(size_t(1) << bits, GifColorType{0, 0, 0});
    for (size_t i = 0; i < palette.size(); ++i)
        colors[i] = {GifByteType(qRed(palette[i])), GifByteType(qGreen(palette[i])), GifByteType(qBlue(palette[i]))};

    FileHandle file = OpenForWriting(path);
    int error = 0;
    GifFileType* gif = EGifOpen(file.get(), AppendToFile, &error);
    if (gif == nullptr) Fail(QStringLiteral("EGifOpen failed"), path);
    ColorMapObject* map = GifMakeMapObject(int(colors.size()), colors.data());
    EGifSetGifVersion(gif, true);
    bool ok = map != nullptr && EGifPutScreenDesc(gif, image.width(), image.height(), 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(size_t(image.width()));
    for (int y = 0; ok && y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) line[size_t(x)] = GifPixelType(lookup.value(in[x] | 0xFF000000u));
        ok = EGifPutLine(gif, line.data(), image.width()) == GIF_OK;
    }
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    if (!ok) Fail(QStringLiteral("GIF encoding failed"), path);
}

void WriteJpeg(const QImage& source, const QString& path, int quality) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    FileHandle file = OpenForWriting(path);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors); // our own input: libjpeg's exit on error is acceptable
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file.get());
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row[] = {const_cast<JSAMPLE*>(image.constScanLine(int(cinfo.next_scanline)))};
        jpeg_write_scanlines(&cinfo, row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

void WritePng(const QImage& image, const QString& path) {
    if (!image.save(path, "PNG")) Fail(QStringLiteral("PNG writing failed"), path);
}

const QList<QRgb>& WindowsPalette() {
    static const QList<QRgb> palette{qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                                     qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                                     qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                                     qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return palette;
}

void WriteWindowsBmp(const QImage& source, const QString& path) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(WindowsPalette());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const qsizetype index = WindowsPalette().indexOf(image.pixel(x, y));
            if (index < 0)
                Fail(QStringLiteral("colour %1 outside the Windows palette at %2,%3")
                         .arg(image.pixel(x, y), 8, 16)
                         .arg(x)
                         .arg(y),
                     path);
            indexed.setPixel(x, y, uint(index));
        }
    // Qt writes an indexed image of at most 16 colours with 4 bits per pixel.
    if (!indexed.save(path, "BMP")) Fail(QStringLiteral("BMP writing failed"), path);
}

void WriteText(const QByteArray& text, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) Fail(QStringLiteral("cannot write"), path);
}

} // namespace artwork
