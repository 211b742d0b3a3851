// The text read on a scan becomes the backdrop's text: words read on the
// image as decoded (which may be smaller than the file) lie where they
// stand on the sheet, and the resolution the reading is given is the one
// the scan has on the sheet.
#include "backdrop/backdrop.h"
#include "geometry/sheet_math.h"
#include "tests/backdrop/backdrop_files.h"

#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

void ExpectRect(const QRectF& actual, const QRectF& expected, double tolerance) {
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

} // namespace

// 6000 x 3000 pixels at 600 dpi are decoded at half their size: a word read
// at 300 .. 900 x 150 .. 225 of the decoded image stands 1 .. 3 inches
// from the left and 0.5 .. 0.75 inch from the top of the sheet (within what
// the file's whole dots per metre give).
TEST(BackdropScanWords, WordsReadOnAReducedScanLieWhereTheyStandOnTheSheet) {
    const auto scan = TBackdrop::FromBytes(MakeImage({6000, 3000}, {}, "png", 600), "gross.png");
    ASSERT_EQ(scan->ScanImage().size(), QSize(3000, 1500));
    EXPECT_NEAR(scan->ScanDpi(210, 297), 300, 0.01);
    EXPECT_FALSE(scan->HasText());
    // Searched before it is read: nothing, and nothing kept of that.
    EXPECT_FALSE(scan->FindNext("konto", 210, 297).has_value());

    scan->SetScanWords({{"Konto", QRectF(300, 150, 600, 75), 0}, {"Nummer", QRectF(1000, 150, 700, 75), 0}});
    EXPECT_TRUE(scan->HasText());
    const QRectF expected(MmPerInch, 0.5 * MmPerInch, 2 * MmPerInch, 0.25 * MmPerInch);
    const std::optional<QRectF> found = scan->FindNext("konto", 210, 297);
    ASSERT_TRUE(found.has_value());
    ExpectRect(*found, expected, 0.001);
    const TTextWords words = scan->WordsMm(210, 297);
    ASSERT_EQ(words.size(), 2);
    ExpectRect(words[0].Box, expected, 0.001);
    EXPECT_EQ(scan->FindAll("konto nummer", 210, 297).size(), 1);
}

// Without a stored resolution a scan is fitted into the sheet: its pixels
// per inch there are what the reading is told. 1700 pixels fitted into
// 170 mm are 254 per inch.
TEST(BackdropScanWords, AScanWithoutResolutionIsReadAtItsPixelsPerInchOnTheSheet) {
    const auto scan = TBackdrop::FromBytes(MakeImage({1700, 1000}, {}, "png", 0), "ohne.png");
    EXPECT_NEAR(scan->ScanDpi(170, 250), 1700 / (170 / MmPerInch), 1e-9);
    EXPECT_DOUBLE_EQ(scan->ScanDpi(0, 0), 0);
    // With 96 dpi stored (a camera's default, far larger than the sheet) it
    // is fitted too.
    const auto camera = TBackdrop::FromBytes(MakeImage({1700, 1000}, {}, "png", 96), "kamera.png");
    EXPECT_NEAR(camera->ScanDpi(85, 250), 1700 / (85 / MmPerInch), 1e-9);
}

TEST(BackdropScanWords, APdfDocumentHasNoScanAndKeepsItsOwnText) {
    const auto pdf = TBackdrop::FromBytes(MakePdf({TTestPage{{210, 297}, {{"Anlage", {20, 30}}}, {}}}), "a.pdf");
    EXPECT_TRUE(pdf->ScanImage().isNull());
    EXPECT_EQ(pdf->ScanDpi(210, 297), 0);
    pdf->SetScanWords({{"Fremd", QRectF(0, 0, 10, 10), 0}});
    EXPECT_TRUE(pdf->FindNext("anlage", 210, 297).has_value());
    EXPECT_FALSE(pdf->FindNext("fremd", 210, 297).has_value());
}
