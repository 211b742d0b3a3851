// Loading backdrop files: pages, placement on the sheet, stored resolutions
// as the readers of each kind write them, and every kind of bad input.
#include "backdrop/backdrop.h"
#include "backdrop/backdrop_error.h"
#include "backdrop/image_resolution.h"
#include "geometry/sheet_math.h"
#include "platform/canvas.h"
#include "tests/backdrop/backdrop_files.h"
#include "tests/support/test_support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

// A US Letter sheet, so that A4 pages differ from it.
constexpr double SheetW = 215.9, SheetH = 279.4;

void ExpectRect(const QRectF& actual, const QRectF& expected, double tolerance) {
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

QString MessageOf(const std::function<void()>& f) { return MessageOfError<EBackdrop>(f); }

QString OpenMessage(const QString& name, const QByteArray& data) {
    const QString path = WriteFile(name, data);
    return MessageOf([&] { TBackdrop::Open(path); });
}

const QList<TTestPage>& ThreePages() {
    static const QList<TTestPage> pages{{{148, 210}, {}, {}}, {{420, 297}, {}, {}}, TTestPage()};
    return pages;
}

QByteArray ThreePagePdf() { return MakePdf(ThreePages()); }

// A JPEG of 300 x 100 pixels whose JFIF header names no unit, with an EXIF
// block storing a resolution of 250 x 125 per inch and an orientation
// (1: as stored, 6: turned a quarter clockwise).
QByteArray JpegWithExif(int orientation) {
    QByteArray jpeg = MakeImage({300, 100}, {}, "jpeg", 96);
    const qsizetype jfif = jpeg.indexOf("JFIF");
    jpeg[jfif + 7] = 0; // density unit: none
    const auto u16 = [](quint16 v) { return QByteArray(1, char(v >> 8)) + char(v & 0xFF); };
    const auto u32 = [&](quint32 v) { return u16(quint16(v >> 16)) + u16(quint16(v)); };
    QByteArray tiff("MM\0*\0\0\0\x08", 8);
    tiff += u16(4);
    tiff += u16(274) + u16(3) + u32(1) + u16(quint16(orientation)) + u16(0);
    tiff += u16(282) + u16(5) + u32(1) + u32(62); // XResolution at 62
    tiff += u16(283) + u16(5) + u32(1) + u32(70); // YResolution at 70
    tiff += u16(296) + u16(3) + u32(1) + u16(2) + u16(0);
    tiff += u32(0);
    tiff += u32(500) + u32(2) + u32(125) + u32(1);
    const QByteArray body = "Exif" + QByteArray(2, '\0') + tiff;
    return jpeg.left(2) + "\xFF\xE1" + u16(quint16(body.size() + 2)) + body + jpeg.mid(2);
}

} // namespace

TEST(BackdropPdf, PagesLieAtTheirTrueSizeOnTheSheetsCorner) {
    const QString path = WriteFile("drei.pdf", ThreePagePdf());
    const auto backdrop = TBackdrop::Open(path);
    EXPECT_TRUE(backdrop->IsPdf());
    EXPECT_EQ(backdrop->FileName(), path);
    EXPECT_EQ(backdrop->PageCount(), 3);
    EXPECT_EQ(backdrop->Page(), 1);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        // Larger than the sheet (page 2) is still true size: the sheet clips it.
        backdrop->SetPage(page);
        ExpectRect(backdrop->PlacementMm(SheetW, SheetH), {{0, 0}, WrittenSizeMm(ThreePages()[page - 1])}, 1e-9);
    }
}

TEST(BackdropPdf, PageOutOfRangeIsRefusedAndKeepsTheCurrentPage) {
    const auto backdrop = TBackdrop::FromBytes(ThreePagePdf(), "/tmp/Angebot.pdf");
    backdrop->SetPage(2);
    EXPECT_EQ(MessageOf([&] { backdrop->SetPage(7); }),
              "Seite 7 gibt es nicht: das Dokument „Angebot.pdf“ hat 3 Seiten");
    EXPECT_EQ(MessageOf([&] { backdrop->SetPage(0); }),
              "Seite 0 gibt es nicht: das Dokument „Angebot.pdf“ hat 3 Seiten");
    EXPECT_EQ(backdrop->Page(), 2);
    const auto image = TBackdrop::FromBytes(MakeImage({10, 10}, {}, "png", 0), "scan.png");
    EXPECT_EQ(MessageOf([&] { image->SetPage(2); }), "Seite 2 gibt es nicht: das Bild „scan.png“ hat nur eine Seite");
}

TEST(BackdropImage, StoredResolutionGivesTrueSizeInEveryFormat) {
    for (const char* format : {"png", "jpeg", "tiff", "bmp"}) {
        SCOPED_TRACE(format);
        const auto backdrop = TBackdrop::FromBytes(MakeImage({1200, 1800}, {}, format, 300), "scan");
        EXPECT_FALSE(backdrop->IsPdf());
        EXPECT_EQ(backdrop->PageCount(), 1);
        ExpectRect(backdrop->PlacementMm(SheetW, SheetH), {0, 0, 4 * MmPerInch, 6 * MmPerInch}, 0.05);
    }
}

TEST(BackdropImage, WithoutPlausibleResolutionFitsIntoTheSheetKeepingItsShape) {
    // Tall: the height limits; wide: the width does.
    const auto tall = TBackdrop::FromBytes(MakeImage({1000, 2000}, {}, "png", 0), "hoch.png");
    ExpectRect(tall->PlacementMm(210, 297), {0, 0, 148.5, 297}, 1e-9);
    const auto wide = TBackdrop::FromBytes(MakeImage({2000, 1000}, {}, "png", 0), "quer.png");
    ExpectRect(wide->PlacementMm(210, 297), {0, 0, 210, 105}, 1e-9);
    // Outside 50..2400 dpi the stored figure is no scan's.
    const auto coarse = TBackdrop::FromBytes(MakeImage({1000, 2000}, {}, "png", 20), "grob.png");
    ExpectRect(coarse->PlacementMm(210, 297), {0, 0, 148.5, 297}, 1e-9);
    // A camera's 72 dpi would make a photo of the sheet over a metre wide.
    const auto photo = TBackdrop::FromBytes(MakeImage({4000, 3000}, {}, "jpeg", 72), "foto.jpg");
    ExpectRect(photo->PlacementMm(210, 297), {0, 0, 210, 157.5}, 1e-9);
    // No sheet, no place.
    EXPECT_TRUE(tall->PlacementMm(0, 0).isEmpty());
}

TEST(BackdropImage, ResolutionIsReadFromExifAndNotInventedWhereNoneIsStored) {
    const auto exif = StoredResolution(JpegWithExif(1));
    ASSERT_TRUE(exif.has_value());
    EXPECT_DOUBLE_EQ(exif->width(), 250);
    EXPECT_DOUBLE_EQ(exif->height(), 125);
    const auto upright = TBackdrop::FromBytes(JpegWithExif(1), "exif.jpg");
    ExpectRect(upright->PlacementMm(SheetW, SheetH), {0, 0, 1.2 * MmPerInch, 0.8 * MmPerInch}, 1e-9);

    EXPECT_FALSE(StoredResolution(MakeImage({10, 10}, {}, "png", 0)));
    QByteArray bmp = MakeImage({10, 10}, {}, "bmp", 300);
    bmp.replace(38, 8, QByteArray(8, '\0'));
    EXPECT_FALSE(StoredResolution(bmp));
    QByteArray jfif = MakeImage({10, 10}, {}, "jpeg", 300);
    jfif[jfif.indexOf("JFIF") + 7] = 0;
    EXPECT_FALSE(StoredResolution(jfif));
    // Cut off inside the resolution chunk.
    const QByteArray png = MakeImage({10, 10}, {}, "png", 300);
    EXPECT_FALSE(StoredResolution(png.left(png.indexOf("pHYs") + 6)));
}

TEST(BackdropImage, OrientationTagTurnsSizeAndResolutionTogether) {
    // Shown 100 x 300 pixels at 125 x 250 per inch.
    const auto turned = TBackdrop::FromBytes(JpegWithExif(6), "hochkant.jpg");
    ExpectRect(turned->PlacementMm(SheetW, SheetH), {0, 0, 0.8 * MmPerInch, 1.2 * MmPerInch}, 1e-9);
    // Without a resolution the turned shape decides the fit.
    QByteArray noUnit = JpegWithExif(6);
    noUnit.replace(noUnit.indexOf(QByteArray("\x01\x28\x00\x03", 4)) + 8, 2, QByteArray("\x00\x01", 2));
    const auto fitted = TBackdrop::FromBytes(noUnit, "hochkant.jpg");
    ExpectRect(fitted->PlacementMm(210, 297), {0, 0, 99, 297}, 1e-9);
}

TEST(BackdropImage, LargeScanIsPlacedByItsFileSize) {
    // 19.2 million pixels, decoded smaller than that, at 600 dpi.
    const auto scan = TBackdrop::FromBytes(MakeImage({4800, 4000}, {}, "png", 600), "gross.png");
    ExpectRect(scan->PlacementMm(210, 297), {0, 0, 8 * MmPerInch, 4000 / 600.0 * MmPerInch}, 0.01);
}

// What a scanner makes is read, however fine: a 1200-dpi A4 page is reduced
// while it is decoded, and placed at its true size.
TEST(BackdropImage, A1200DpiA4ScanIsReadReducedAndPlacedAtTrueSize) {
    const int width = 9921, height = 14032;
    // A black bar 100 .. 110 mm from the top, 50 .. 150 mm from the left.
    const auto px = [](double mm) { return int(mm / MmPerInch * 1200); };
    const QByteArray png = StreamedGreyPng(width, height, 1200, [&](int y, unsigned char* line) {
        const bool bar = y >= px(100) && y < px(110);
        std::fill(line, line + width, 0xFF);
        if (bar) std::fill(line + px(50), line + px(150), 0x00);
    });
    ASSERT_FALSE(png.isEmpty());
    const auto scan = TBackdrop::FromBytes(png, "fein.png");
    ExpectRect(scan->PlacementMm(210, 297), {0, 0, width / 1200.0 * MmPerInch, height / 1200.0 * MmPerInch}, 0.01);
    // Drawn at 1 pixel a millimetre, the bar is where it was scanned.
    const TViewMapping mapping{0, 0, int(std::lround(100 * MmPerInch / 96)), 96};
    QImage buffer(220, 300, QImage::Format_RGB32);
    buffer.fill(Qt::white);
    {
        TCanvas canvas(&buffer);
        scan->Draw(canvas, mapping, 210, 297, QRect(0, 0, 211, 298), buffer.rect());
    }
    EXPECT_EQ(qGray(buffer.pixel(100, 105)), BackdropDarkest);
    EXPECT_EQ(qGray(buffer.pixel(100, 95)), 0xFF);
    EXPECT_EQ(qGray(buffer.pixel(40, 105)), 0xFF);
}

TEST(BackdropBadInput, MissingUnreadableOversizedAndUnknownFiles) {
    EXPECT_EQ(MessageOf([] { TBackdrop::Open(QDir::temp().filePath("gibt-es-nicht.pdf")); }),
              "Die Datei „gibt-es-nicht.pdf“ gibt es nicht");
    const QString folder = QFileInfo(WriteFile("x", "x")).dir().filePath("ordner.pdf");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(MessageOf([&] { TBackdrop::Open(folder); }),
              "„ordner.pdf“ ist ein Ordner, keine Datei: wählen Sie ein PDF-Dokument oder einen Scan");

    // Refused by its size before anything is read (a sparse file).
    QFile huge(WriteFile("riesig.pdf", "%PDF-1.4"));
    ASSERT_TRUE(huge.resize(513LL << 20));
    EXPECT_EQ(MessageOf([&] { TBackdrop::Open(huge.fileName()); }),
              "Die Datei „riesig.pdf“ ist zu groß (mehr als 512 MB)");
    huge.remove();

    const QString unknown = "Die Datei „%1“ ist kein PDF-Dokument und kein Bild, das Marbelux lesen kann";
    EXPECT_EQ(OpenMessage("leer.pdf", {}), unknown.arg("leer.pdf"));
    EXPECT_EQ(OpenMessage("brief.txt", "Sehr geehrte Damen und Herren"), unknown.arg("brief.txt"));
    QByteArray noise(4096, '\0');
    QRandomGenerator rng(4711);
    for (char& c : noise) c = char(rng.bounded(256));
    EXPECT_EQ(OpenMessage("rauschen.bin", noise), unknown.arg("rauschen.bin"));
    // Qt reads GIF, but a backdrop is no animation: a 1 x 1 GIF of a
    // two-colour table, one image, LZW minimum code size 2.
    const QByteArray gif =
        QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) + QByteArray("\xFF\xFF\xFF\x00\x00\x00", 6) +
        QByteArray("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10) + QByteArray("\x02\x02\x44\x01\x00\x3B", 6);
    ASSERT_FALSE(QImage::fromData(gif).isNull());
    EXPECT_EQ(OpenMessage("bild.gif", gif), unknown.arg("bild.gif"));
}

TEST(BackdropBadInput, DamagedAndLockedPdfDocuments) {
    const QByteArray pdf = ThreePagePdf();
    for (const qsizetype length : {qsizetype(16), qsizetype(400), pdf.size() / 3}) {
        SCOPED_TRACE(length);
        EXPECT_EQ(OpenMessage("kaputt.pdf", pdf.left(length)), "Das PDF-Dokument „kaputt.pdf“ ist beschädigt");
    }
    QByteArray scrambled = pdf;
    for (qsizetype i = 20; i < scrambled.size(); i += 7) scrambled[i] = char(scrambled[i] ^ 0x5A);
    EXPECT_EQ(OpenMessage("verwürfelt.pdf", scrambled), "Das PDF-Dokument „verwürfelt.pdf“ ist beschädigt");

    const QByteArray locked = Encrypted(pdf);
    ASSERT_FALSE(locked.isEmpty()) << "ghostscript made no encrypted document";
    EXPECT_EQ(OpenMessage("geheim.pdf", locked), "Das PDF-Dokument „geheim.pdf“ ist mit einem Kennwort geschützt");
}

TEST(BackdropBadInput, AbsurdAndDamagedImages) {
    // The name goes into the message as it is, "%2" and all.
    const QString tooLarge = "Das Bild „%1“ ist zu groß (%2 Pixel); Marbelux liest Scans bis zu 40000 Pixeln "
                             "Kantenlänge und 1200 Millionen Pixeln, ein A3-Blatt mit 2400 dpi";
    EXPECT_EQ(OpenMessage("riesig %2.png", PngHeaderClaiming(100000, 100000)),
              tooLarge.arg("riesig %2.png", "100000 × 100000"));
    // Each side acceptable, the area not.
    EXPECT_EQ(OpenMessage("lang.png", PngHeaderClaiming(39000, 39000)), tooLarge.arg("lang.png", "39000 × 39000"));
    // A plausible header without any pixels.
    EXPECT_EQ(OpenMessage("leer.png", PngHeaderClaiming(100, 100)), "Das Bild „leer.png“ ist beschädigt");
    // Cut off in its tables, before the size is known.
    const QByteArray jpeg = MakeImage({64, 64}, {8, 8, 16, 16}, "jpeg", 300);
    EXPECT_EQ(OpenMessage("halb.jpg", jpeg.left(120)), "Das Bild „halb.jpg“ ist beschädigt");
}
