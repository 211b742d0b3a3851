// A scan saved as PNG keeps its resolution, so that the backdrop opens it
// again at the size it had on paper.
#include "backdrop/image_resolution.h"
#include "scan/scan_file.h"
#include "scan/scanner.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mx;
using mx::test::MessageOfError;

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ScanFile, PngStoresTheResolutionTheBackdropReads) {
    QTemporaryDir dir;
    for (const QSizeF dpi : {QSizeF(300, 300), QSizeF(150, 150), QSizeF(600, 300), QSizeF(75, 75)}) {
        QImage scan(120, 80, QImage::Format_Grayscale8);
        scan.fill(200);
        scan.setPixel(7, 9, qRgb(0, 0, 0));
        const QString path = dir.filePath("scan.png");
        SaveScanPng(ScanAsPng(scan, dpi), path);
        const std::optional<QSizeF> stored = StoredResolution(Contents(path));
        ASSERT_TRUE(stored.has_value());
        // Dots per metre are whole numbers: within half a dot per metre.
        EXPECT_NEAR(stored->width(), dpi.width(), 0.5 * 0.0254);
        EXPECT_NEAR(stored->height(), dpi.height(), 0.5 * 0.0254);
        EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_Grayscale8), scan);
    }
}

TEST(ScanFile, NoImageIsToldInGerman) {
    EXPECT_EQ(MessageOfError<EScan>([] {
                  ScanAsPng(QImage(), {300, 300});
              }),
              "Der Scan kann nicht als „PNG“ gespeichert werden: es gibt kein Bild");
}

TEST(ScanFile, ColourScanKeepsItsPixels) {
    QTemporaryDir dir;
    QImage scan(64, 48, QImage::Format_RGB888);
    for (int y = 0; y < scan.height(); ++y)
        for (int x = 0; x < scan.width(); ++x) scan.setPixel(x, y, qRgb(x * 4, y * 5, (x + y) % 256));
    const QString path = dir.filePath("farbe.png");
    SaveScanPng(ScanAsPng(scan, {300, 300}), path);
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB888), scan);
}

TEST(ScanFile, FolderThatCannotBeWrittenIsToldAndLeavesNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("fehlt/scan.png");
    QImage scan(10, 10, QImage::Format_Grayscale8);
    scan.fill(0);
    EXPECT_TRUE(MessageOfError<EScan>([&] {
                    SaveScanPng(ScanAsPng(scan, {300, 300}), path);
                })
                    .startsWith("Der Scan kann nicht als „scan.png“ gespeichert werden: die Datei lässt sich nicht "
                                "anlegen"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}
