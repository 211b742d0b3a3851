// The correction and the test print in real PDF files, read back through
// pdftoppm: where the ink lands in the printer's device pixels.
#include "calibration/test_page.h"
#include "platform/printer.h"
#include "platform/qt_printer.h"
#include "print/fill_style.h"
#include "print/overprint_rect.h"
#include "tests/support/output_readback.h"
#include "tests/support/test_support.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

class Output : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A front or back job of one page the way the jobs fill: the job's own
    // rectangle, then the printer's correction, filled solid black.
    QString PrintFillJob(const Area& a, bool back, const TPrinterCalibration& calibration) {
        const QString pdf = NextFile();
        const TRect rect = CorrectedRect(back ? BackRect(a, g) : FrontRect(a, g), g, calibration.Side(back));
        printer.SetTitle("Dokument vernichten");
        EXPECT_TRUE(printer.BeginDoc());
        TDocumentGuard guard(printer);
        ApplyFillRule(printer.Canvas(), rect, 0, clBlack, clBlack);
        printer.EndDoc();
        return pdf;
    }
    QString PrintTest(const Area& a, bool back, const TPrinterCalibration& calibration) {
        const QString pdf = NextFile();
        EXPECT_TRUE(PrintTestPage(printer, a, back, calibration));
        return pdf;
    }
    QString NextFile() {
        const QString pdf = dir.filePath(QString("out%1.pdf").arg(++files));
        Answers().saveFileAnswers = {pdf};
        return pdf;
    }
    // The inked rectangle within a region of the paper (device pixels from
    // the paper's corner), in paper coordinates.
    QRect InkIn(const QString& pdf, const QRect& region) {
        QString error;
        const QImage image = RenderPdfRegion(pdf, 1, g.Dpi, region, &error);
        EXPECT_FALSE(image.isNull()) << error.toStdString();
        const QRect ink = InkBounds(image);
        return ink.isNull() ? ink : ink.translated(region.topLeft());
    }
    // The whole filled rectangle, searched a little around where it should be.
    QRect InkAround(const QString& pdf, const TRect& job) {
        const int margin = MmToDevice(5, g.Dpi);
        return InkIn(pdf, OnPaper(job).adjusted(-margin, -margin, margin, margin));
    }
    QRect OnPaper(const TRect& job) const { return job.ToQRect().translated(g.OffsetX, g.OffsetY); }

    QTemporaryDir dir;
    int files = 0;
    TQtPrinter printer{TQtPrinter::TOutput::Pdf};
    PrinterGeometry g = ReadPrinterGeometry(printer);
    const Area area{30, 80, 40, 70};
};

} // namespace

TEST_F(Output, FrontCalibrationMovesTheFilledRectangleInThePdf) {
    const QRect plain = InkAround(PrintFillJob(area, false, {}), FrontRect(area, g));
    ASSERT_EQ(plain, OnPaper(FrontRect(area, g)));

    // Measured +1.0 mm to the right, -0.5 mm (too high): the fill goes
    // 1.0 mm left and 0.5 mm down, in whole device pixels.
    const TPrinterCalibration shifted{TSideCorrection{{1.0, 1}, {-0.5, 1}}, std::nullopt};
    const QRect moved = InkAround(PrintFillJob(area, false, shifted), FrontRect(area, g));
    const double pxPerMm = g.Dpi / MmPerInch;
    EXPECT_EQ(moved.size(), plain.size());
    EXPECT_LE(std::abs(moved.left() - plain.left() + 1.0 * pxPerMm), 1.0);
    EXPECT_LE(std::abs(moved.top() - plain.top() - 0.5 * pxPerMm), 1.0);
    EXPECT_EQ(moved, OnPaper(CorrectedRect(FrontRect(area, g), g, shifted.Front)));

    // A stretch of 0.2 % pulls the right edge in by 0.2 % of its paper
    // position, truncated.
    const TPrinterCalibration stretched{TSideCorrection{{0, 1.002}, {0, 1}}, std::nullopt};
    const QRect narrower = InkAround(PrintFillJob(area, false, stretched), FrontRect(area, g));
    const int right = FrontRect(area, g).Right + g.OffsetX;
    EXPECT_EQ(narrower.right() + 1, int(right / 1.002));
    EXPECT_EQ(narrower.top(), plain.top());
}

TEST_F(Output, BackCalibrationMovesOnlyBackRectangles) {
    const TPrinterCalibration backOnly{std::nullopt, TSideCorrection{{-2.0, 0.999}, {1.5, 1.001}}};
    EXPECT_EQ(InkAround(PrintFillJob(area, false, backOnly), FrontRect(area, g)), OnPaper(FrontRect(area, g)));
    const QRect back = InkAround(PrintFillJob(area, true, backOnly), BackRect(area, g));
    EXPECT_EQ(back, OnPaper(CorrectedRect(BackRect(area, g), g, backOnly.Back)));
    EXPECT_NE(back, OnPaper(BackRect(area, g)));
}

TEST_F(Output, TestPrintOutlineLiesWhereTheFillOfTheSameAreaLies) {
    const TPrinterCalibration calibration{TSideCorrection{{0.8, 1.003}, {-1.2, 0.998}},
                                          TSideCorrection{{-1.7, 0.996}, {0.6, 1.004}}};
    for (const bool back : {false, true}) {
        for (const auto& c : {TPrinterCalibration{}, calibration}) {
            SCOPED_TRACE(std::string(back ? "back" : "front") + (c.Side(back) ? ", calibrated" : ""));
            const QString fill = PrintFillJob(area, back, c), test = PrintTest(area, back, c);
            const QRect filled = InkAround(fill, back ? BackRect(area, g) : FrontRect(area, g));
            ASSERT_FALSE(filled.isNull());
            // Across each edge at its middle, away from the corners' crosses
            // and labels: the outline's outer edge is the fill's edge.
            const QPoint mid = filled.center();
            const int reach = 40;
            const QRect leftBand(filled.left() - reach, mid.y() - 4, 2 * reach, 8);
            const QRect rightBand(filled.right() + 1 - reach, mid.y() - 4, 2 * reach, 8);
            const QRect topBand(mid.x() - 4, filled.top() - reach, 8, 2 * reach);
            const QRect bottomBand(mid.x() - 4, filled.bottom() + 1 - reach, 8, 2 * reach);
            EXPECT_EQ(InkIn(test, leftBand).left(), filled.left());
            EXPECT_EQ(InkIn(test, rightBand).right(), filled.right());
            EXPECT_EQ(InkIn(test, topBand).top(), filled.top());
            EXPECT_EQ(InkIn(test, bottomBand).bottom(), filled.bottom());
            // The outline is a line, not a fill.
            const int line = MmToDevice(TestOutlineMm, g.Dpi);
            EXPECT_NEAR(InkIn(test, leftBand).width(), line, 1);
            EXPECT_NEAR(InkIn(test, topBand).height(), line, 1);
        }
    }
    EXPECT_TRUE(Answers().Errors().isEmpty());
}
