// PNG scans decoded row by row and reduced on the way.
#include "backdrop/png_reader.h"
#include "tests/backdrop/backdrop_files.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>
#include <vector>

using namespace mx;
using namespace mx::test;

namespace {

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

} // namespace

TEST(PngReader, EachPixelIsTheAverageOfItsBlockPartialBlocksIncluded) {
    // 5 x 3 grey: values chosen so every block has a distinct average.
    const std::vector<int> values = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140};
    const QByteArray png = StreamedGreyPng(5, 3, 300, [&](int y, unsigned char* line) {
        for (int x = 0; x < 5; ++x) line[x] = uchar(values[size_t(y * 5 + x)]);
    });
    const auto image = ReadPngReduced(png, 2);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format(), QImage::Format_Grayscale8);
    ASSERT_EQ(image->size(), QSize(3, 2));
    const auto at = [&](int x, int y) { return image->constScanLine(y)[x]; };
    EXPECT_EQ(at(0, 0), (0 + 10 + 50 + 60 + 2) / 4);
    EXPECT_EQ(at(1, 0), (20 + 30 + 70 + 80 + 2) / 4);
    EXPECT_EQ(at(2, 0), (40 + 90 + 1) / 2); // the right edge's block is one wide
    EXPECT_EQ(at(0, 1), (100 + 110 + 1) / 2);
    EXPECT_EQ(at(2, 1), 140);
    // Factor 1 is the image itself.
    const auto whole = ReadPngReduced(png, 1);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->constScanLine(2)[3], 130);
}

TEST(PngReader, ColourPalettesSixteenBitsAndTransparencyOverWhite) {
    QImage colour(4, 2, QImage::Format_ARGB32);
    colour.fill(qRgba(200, 100, 0, 255));
    colour.setPixel(0, 0, qRgba(0, 0, 0, 0)); // transparent: white
    colour.setPixel(1, 0, qRgba(0, 0, 0, 255));
    const auto image = ReadPngReduced(Png(colour), 2);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format(), QImage::Format_RGB32);
    ASSERT_EQ(image->size(), QSize(2, 1));
    // (255 + 0 + 200 + 200) / 4 and so on.
    EXPECT_EQ(image->pixel(0, 0), qRgb((255 + 0 + 400 + 2) / 4, (255 + 0 + 200 + 2) / 4, (255 + 2) / 4));
    EXPECT_EQ(image->pixel(1, 0), qRgb(200, 100, 0));

    QImage grey16(2, 2, QImage::Format_Grayscale16);
    grey16.fill(0);
    reinterpret_cast<quint16*>(grey16.scanLine(0))[0] = 0xFFFF;
    const auto fromSixteen = ReadPngReduced(Png(grey16), 2);
    ASSERT_TRUE(fromSixteen);
    EXPECT_EQ(fromSixteen->constScanLine(0)[0], (255 + 2) / 4);

    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 1);
    const auto fromPalette = ReadPngReduced(Png(indexed), 1);
    ASSERT_TRUE(fromPalette);
    EXPECT_EQ(fromPalette->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(fromPalette->pixel(1, 0), qRgb(0, 0, 255));
}

TEST(PngReader, DamageCancellationAndProgress) {
    const QByteArray png = StreamedGreyPng(64, 640, 300, [](int y, unsigned char* line) {
        for (int x = 0; x < 64; ++x) line[x] = uchar(x ^ y);
    });
    EXPECT_FALSE(ReadPngReduced(png.left(png.size() / 2), 2));
    EXPECT_FALSE(ReadPngReduced(PngHeaderClaiming(100, 100), 1));
    EXPECT_FALSE(ReadPngReduced(QByteArray("not a png"), 1));
    EXPECT_FALSE(ReadPngReduced(png, 0));

    std::vector<int> progress;
    TPngReading reading;
    reading.Progress = [&](int percent) { progress.push_back(percent); };
    ASSERT_TRUE(ReadPngReduced(png, 3, reading));
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100);

    int polls = 0;
    reading.Cancelled = [&] { return ++polls == 3; };
    EXPECT_FALSE(ReadPngReduced(png, 3, reading));
    EXPECT_EQ(polls, 3);
}
