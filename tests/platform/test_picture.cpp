#include "platform/exception.h"
#include "platform/picture.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <gif_lib.h>
#include <jpeglib.h>

#include <cstdlib>
#include <vector>

using mx::EInvalidGraphic;
using mx::TPicture;

namespace {

// ---- GIF inputs written with giflib -------------------------------------

int AppendToArray(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

struct GifSpec {
    int width = 8;
    int height = 6;
    std::vector<GifColorType> colors{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    // Frame position inside a logical screen of screenWidth x screenHeight
    // (0: the frame's size).
    int left = 0, top = 0, screenWidth = 0, screenHeight = 0;
    bool interlace = false;
    bool localMap = false;
    int transparent = -1;
    // Pixel index at (x, y).
    int (*pixel)(int x, int y) = [](int x, int y) { return (x + 2 * y) % 4; };
};

QByteArray WriteGif(const GifSpec& spec) {
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendToArray, &error);
    EXPECT_NE(gif, nullptr);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(spec.colors.size()), spec.colors.data());
    EGifSetGifVersion(gif, true);
    EXPECT_EQ(EGifPutScreenDesc(gif, spec.screenWidth ? spec.screenWidth : spec.width,
                                spec.screenHeight ? spec.screenHeight : spec.height, 8, 0,
                                spec.localMap ? nullptr : map),
              GIF_OK);
    if (spec.transparent >= 0) {
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = spec.transparent;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EXPECT_EQ(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext), GIF_OK);
    }
    EXPECT_EQ(EGifPutImageDesc(gif, spec.left, spec.top, spec.width, spec.height, spec.interlace,
                               spec.localMap ? map : nullptr),
              GIF_OK);
    std::vector<int> rows;
    if (spec.interlace) {
        const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < spec.height; y += step[pass]) rows.push_back(y);
    } else {
        for (int y = 0; y < spec.height; ++y) rows.push_back(y);
    }
    std::vector<GifPixelType> line(static_cast<size_t>(spec.width));
    for (int y : rows) {
        for (int x = 0; x < spec.width; ++x) line[static_cast<size_t>(x)] = static_cast<GifPixelType>(spec.pixel(x, y));
        EXPECT_EQ(EGifPutLine(gif, line.data(), spec.width), GIF_OK);
    }
    EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
    GifFreeMapObject(map);
    return out;
}

QRgb ColorOf(const GifSpec& spec, int x, int y) {
    const GifColorType& c = spec.colors[static_cast<size_t>(spec.pixel(x, y))];
    return qRgb(c.Red, c.Green, c.Blue);
}

void ExpectMatches(const TPicture& picture, const GifSpec& spec) {
    ASSERT_EQ(picture.Width(), spec.width);
    ASSERT_EQ(picture.Height(), spec.height);
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x)
            ASSERT_EQ(picture.Image().pixel(x, y), ColorOf(spec, x, y)) << x << "," << y;
}

void PutWord(QByteArray& data, qsizetype at, int value) {
    data[at] = static_cast<char>(value & 0xFF);
    data[at + 1] = static_cast<char>(value >> 8);
}

// Offsets in a GIF written by WriteGif with a global table of n colours and
// no extension.
constexpr qsizetype ScreenWidthAt = 6;
qsizetype FrameWidthAt(int colors) { return 13 + 3 * colors + 5; }

void ExpectInvalid(const QByteArray& data, bool gif) {
    try {
        gif ? TPicture::FromGifData(data) : TPicture::FromJpegData(data);
        ADD_FAILURE() << "no EInvalidGraphic";
    } catch (const EInvalidGraphic& e) {
        EXPECT_TRUE(e.Message().startsWith(gif ? QStringLiteral("Ungültiges GIF-Bild")
                                               : QStringLiteral("Ungültiges JPEG-Bild")))
            << e.Message().toStdString();
    }
}

// ---- JPEG inputs written with libjpeg -----------------------------------

// 32 x 16 pixels: a red and a blue block of 16 x 16.
QByteArray WriteJpeg(bool progressive, int width = 32, int height = 16) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < width; ++x) {
            const bool red = (x / 16) % 2 == 0;
            row[static_cast<size_t>(x) * 3 + 0] = red ? 220 : 20;
            row[static_cast<size_t>(x) * 3 + 1] = 30;
            row[static_cast<size_t>(x) * 3 + 2] = red ? 20 : 200;
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return out;
}

void ExpectNear(QRgb actual, QRgb expected) {
    EXPECT_NEAR(qRed(actual), qRed(expected), 10);
    EXPECT_NEAR(qGreen(actual), qGreen(expected), 10);
    EXPECT_NEAR(qBlue(actual), qBlue(expected), 10);
}

qsizetype FrameMarkerAt(const QByteArray& jpeg) {
    for (qsizetype i = 2; i + 1 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) == 0xC0 || uchar(jpeg[i + 1]) == 0xC2)) return i;
    return -1;
}

QByteArray WithJpegSize(QByteArray jpeg, int width, int height) {
    const qsizetype sof = FrameMarkerAt(jpeg);
    EXPECT_GT(sof, 0);
    // Marker, length (2), precision (1), then height and width big-endian.
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xFF);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

} // namespace

TEST(PictureGif, DecodesEveryPixelFromTheGlobalOrALocalTable) {
    GifSpec spec;
    TPicture global = TPicture::FromGifData(WriteGif(spec));
    ExpectMatches(global, spec);
    EXPECT_FALSE(global.Image().hasAlphaChannel());

    spec.localMap = true;
    spec.colors = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
    ExpectMatches(TPicture::FromGifData(WriteGif(spec)), spec);
}

TEST(PictureGif, PutsInterlacedRowsInPlace) {
    GifSpec spec;
    spec.width = 3;
    spec.height = 19; // every pass and a partial last group
    spec.interlace = true;
    spec.pixel = [](int x, int y) { return (y * 3 + x) % 4; };
    ExpectMatches(TPicture::FromGifData(WriteGif(spec)), spec);
}

TEST(PictureGif, TransparentIndexBecomesAlpha) {
    GifSpec spec;
    spec.transparent = 3;
    const TPicture picture = TPicture::FromGifData(WriteGif(spec));
    ASSERT_TRUE(picture.Image().hasAlphaChannel());
    for (int y = 0; y < spec.height; ++y)
        for (int x = 0; x < spec.width; ++x) {
            const QRgb p = picture.Image().pixel(x, y);
            if (spec.pixel(x, y) == 3) {
                EXPECT_EQ(qAlpha(p), 0);
            } else {
                EXPECT_EQ(p, ColorOf(spec, x, y));
            }
        }
}

TEST(PictureGif, FrameSmallerThanTheScreenLiesAtItsOffsetOnTransparency) {
    GifSpec spec;
    spec.left = 3;
    spec.top = 2;
    spec.screenWidth = 12;
    spec.screenHeight = 9;
    const QImage image = TPicture::FromGifData(WriteGif(spec)).Image();
    ASSERT_EQ(image.size(), QSize(12, 9));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inFrame = x >= 3 && x < 3 + spec.width && y >= 2 && y < 2 + spec.height;
            if (inFrame) {
                ASSERT_EQ(image.pixel(x, y), ColorOf(spec, x - 3, y - 2)) << x << "," << y;
            } else {
                ASSERT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
            }
        }
}

TEST(PictureGif, TruncatedOrEmptyDataIsRejected) {
    GifSpec spec;
    spec.width = 40;
    spec.height = 40;
    const QByteArray gif = WriteGif(spec);
    ExpectInvalid({}, true);
    ExpectInvalid(QByteArray("GIF89a"), true);
    for (qsizetype cut : {qsizetype(10), qsizetype(13 + 12), gif.size() / 2, gif.size() - 4})
        ExpectInvalid(gif.left(cut), true);
    ExpectInvalid(QByteArray("NOTAGIF-------------------"), true);
}

TEST(PictureGif, IndexBeyondTheColourTableIsRejected) {
    // Write with 256 colours and index 200, then shrink the declared global
    // table to 2 entries: the LZW data still carries index 200.
    GifSpec spec;
    spec.colors.assign(256, GifColorType{1, 2, 3});
    spec.pixel = [](int x, int y) { return x == 5 && y == 2 ? 200 : 0; };
    QByteArray gif = WriteGif(spec);
    ASSERT_EQ(uchar(gif[10]) & 0x87, 0x87);
    gif[10] = static_cast<char>(uchar(gif[10]) & ~0x07);
    gif.remove(13 + 6, 3 * 254);
    ExpectInvalid(gif, true);

    // The same file with index 1 instead decodes, so the rejection above is
    // the index check and not the surgery.
    spec.pixel = [](int x, int y) { return x == 5 && y == 2 ? 1 : 0; };
    QByteArray fine = WriteGif(spec);
    fine[10] = static_cast<char>(uchar(fine[10]) & ~0x07);
    fine.remove(13 + 6, 3 * 254);
    EXPECT_EQ(TPicture::FromGifData(fine).Image().pixel(5, 2), qRgb(1, 2, 3));
}

TEST(PictureGif, AbsurdDimensionsAreRejectedBeforeDecoding) {
    GifSpec spec;
    const QByteArray gif = WriteGif(spec);

    QByteArray huge = gif;
    PutWord(huge, ScreenWidthAt, 65535);
    PutWord(huge, ScreenWidthAt + 2, 65535);
    ExpectInvalid(huge, true);

    // 16000 x 16000 is within each side but above the pixel limit.
    QByteArray many = gif;
    PutWord(many, ScreenWidthAt, 16000);
    PutWord(many, ScreenWidthAt + 2, 16000);
    ExpectInvalid(many, true);

    QByteArray zero = gif;
    PutWord(zero, FrameWidthAt(4), 0);
    ExpectInvalid(zero, true);

    // A frame wider than the logical screen.
    QByteArray wide = gif;
    ASSERT_EQ(wide[FrameWidthAt(4) - 5], ',');
    PutWord(wide, FrameWidthAt(4), 9);
    ExpectInvalid(wide, true);
}

TEST(PictureJpeg, DecodesBaselineAndProgressive) {
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const QByteArray jpeg = WriteJpeg(progressive);
        EXPECT_EQ(uchar(jpeg[FrameMarkerAt(jpeg) + 1]), progressive ? 0xC2 : 0xC0);
        const TPicture picture = TPicture::FromJpegData(jpeg);
        ASSERT_EQ(picture.Width(), 32);
        ASSERT_EQ(picture.Height(), 16);
        EXPECT_FALSE(picture.Image().hasAlphaChannel());
        ExpectNear(picture.Image().pixel(7, 8), qRgb(220, 30, 20));
        ExpectNear(picture.Image().pixel(24, 8), qRgb(20, 30, 200));
    }
}

TEST(PictureJpeg, TruncatedOrCorruptDataIsRejected) {
    for (bool progressive : {false, true}) {
        const QByteArray jpeg = WriteJpeg(progressive, 64, 64);
        ExpectInvalid(jpeg.left(2), false);
        ExpectInvalid(jpeg.left(jpeg.size() / 2), false);
        ExpectInvalid(jpeg.left(jpeg.size() - 2), false); // no end marker
        QByteArray badFrame = jpeg;
        badFrame[FrameMarkerAt(jpeg) + 4] = 3; // sample precision 3 bits
        ExpectInvalid(badFrame, false);
    }
    ExpectInvalid({}, false);
    ExpectInvalid(QByteArray("\xFF\xD8garbage that is not a JPEG stream at all"), false);
}

TEST(PictureJpeg, AbsurdDimensionsAreRejected) {
    const QByteArray jpeg = WriteJpeg(false);
    ExpectInvalid(WithJpegSize(jpeg, 60000, 16), false);
    ExpectInvalid(WithJpegSize(jpeg, 16000, 16000), false);
    ExpectInvalid(WithJpegSize(jpeg, 0, 16), false);
}

TEST(Picture, FromResourceChoosesTheDecoderBySignature) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const QString& name, const QByteArray& data) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return file.fileName();
    };
    GifSpec spec;
    // The names lie about the content: only the signature counts.
    ExpectMatches(TPicture::FromResource(write("a.jpg", WriteGif(spec))), spec);
    EXPECT_EQ(TPicture::FromResource(write("b.gif", WriteJpeg(true))).Width(), 32);
    EXPECT_THROW(TPicture::FromResource(write("c.png", "\x89PNG\r\n\x1a\n")), EInvalidGraphic);
    EXPECT_THROW(TPicture::FromResource(dir.filePath("missing.gif")), EInvalidGraphic);
}

TEST(Picture, AssignCopiesByValue) {
    GifSpec spec;
    TPicture source = TPicture::FromGifData(WriteGif(spec));
    TPicture copy;
    EXPECT_TRUE(copy.Empty());
    copy.Assign(source);
    EXPECT_FALSE(copy.Empty());
    source.Assign(TPicture());
    EXPECT_TRUE(source.Empty());
    ExpectMatches(copy, spec);
}

// The committed artwork must stay what the windows rely on: single-frame
// GIF89a with a global colour table and no transparency, at fixed sizes.
TEST(Picture, CommittedGifArtworkIsOpaqueGif89aOfTheExpectedSize) {
    const QByteArray source = qgetenv("MARBELUX_SOURCE_DIR");
    ASSERT_FALSE(source.isEmpty()) << "MARBELUX_SOURCE_DIR not set";
    const QDir pictures(QString::fromLocal8Bit(source) + "/resources/pictures");
    const struct {
        const char* name;
        int width, height;
    } expected[] = {
        {"column1.gif", 193, 281},   {"column2.gif", 193, 281}, {"column3.gif", 194, 281},    {"ueber.gif", 101, 30},
        {"ueber_down.gif", 101, 30}, {"ende.gif", 101, 30},     {"ende_down.gif", 101, 30},   {"go.gif", 101, 30},
        {"go_down.gif", 101, 30},    {"drucker.gif", 82, 35},   {"drucker_down.gif", 82, 35},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        QFile file(pictures.filePath(e.name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        EXPECT_TRUE(data.startsWith("GIF89a"));
        int error = 0;
        GifFileType* gif = DGifOpenFileName(QFile::encodeName(file.fileName()).constData(), &error);
        ASSERT_NE(gif, nullptr);
        EXPECT_EQ(DGifSlurp(gif), GIF_OK);
        EXPECT_EQ(gif->ImageCount, 1);
        EXPECT_NE(gif->SColorMap, nullptr);
        EXPECT_EQ(gif->ExtensionBlockCount, 0);
        if (gif->ImageCount > 0) {
            EXPECT_EQ(gif->SavedImages[0].ExtensionBlockCount, 0) << "graphic control extension";
        }
        DGifCloseFile(gif, &error);
        const TPicture picture = TPicture::FromResource(file.fileName());
        EXPECT_EQ(picture.Width(), e.width);
        EXPECT_EQ(picture.Height(), e.height);
        EXPECT_FALSE(picture.Image().hasAlphaChannel());
    }
    const TPicture about = TPicture::FromResource(pictures.filePath("about.jpg"));
    EXPECT_EQ(about.Width(), 306);
    EXPECT_EQ(about.Height(), 322);
}

// The kind glyphs: two images side by side in the 16 Windows colours, the
// background colour at the bottom left, the disabled image only in
// background, grey and white.
TEST(Picture, CommittedGlyphStripsFollowTheGlyphRules) {
    const QByteArray source = qgetenv("MARBELUX_SOURCE_DIR");
    ASSERT_FALSE(source.isEmpty()) << "MARBELUX_SOURCE_DIR not set";
    const QDir glyphs(QString::fromLocal8Bit(source) + "/resources/glyphs");
    const QRgb olive = qRgb(128, 128, 0), purple = qRgb(128, 0, 128);
    const struct {
        const char* name;
        int width, height;
        QRgb background;
    } expected[] = {
        {"BBOKX", 36, 18, olive},    {"BBCANCELX", 36, 18, olive}, {"BBHELPX", 36, 18, olive},
        {"BBYESX", 36, 18, olive},   {"BBNOX", 36, 18, olive},     {"BBCLOSEX", 36, 18, olive},
        {"BBABORTX", 36, 18, olive}, {"BBRETRYX", 36, 18, olive},  {"BBIGNOREX", 36, 18, olive},
        {"BBALLX", 36, 19, olive},   {"globe", 32, 16, purple},
    };
    const QList<QRgb> windows16{qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                                qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                                qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                                qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        const QImage strip(glyphs.filePath(QString::fromLatin1(e.name) + ".bmp"));
        ASSERT_FALSE(strip.isNull());
        ASSERT_EQ(strip.size(), QSize(e.width, e.height));
        EXPECT_EQ(strip.pixel(0, e.height - 1), e.background);
        EXPECT_LE(strip.depth(), 8);
        const int half = e.width / 2;
        int normalInk = 0, disabledWhite = 0;
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x) {
                const QRgb c = strip.pixel(x, y);
                ASSERT_TRUE(windows16.contains(c)) << x << "," << y;
                if (x < half) {
                    normalInk += c != e.background;
                } else {
                    ASSERT_TRUE(c == e.background || c == qRgb(128, 128, 128) || c == qRgb(255, 255, 255))
                        << x << "," << y;
                    disabledWhite += c == qRgb(255, 255, 255);
                }
            }
        EXPECT_GT(normalInk, 10);
        EXPECT_GT(disabledWhite, 10);
    }
}
