// The front and back jobs end to end: through the window into a real PDF
// file and into a private CUPS queue, read back from what was produced.
#include "controls/color_combo_box.h"
#include "controls/num_spin_edit.h"
#include "controls/radio_group.h"
#include "geometry/sheet_math.h"
#include "platform/qt_printer.h"
#include "print/fill_style.h"
#include "tests/support/cups_fixture.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/output_readback.h"
#include "tests/support/test_printer.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QTemporaryDir>

using namespace mx;
using namespace mx::test;

namespace {

// The inked rectangle near where paperRect (device pixels from the paper's
// corner) should be, in the same coordinates.
class JobOutput : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
        form->AreaLeftMm = 20;
        form->AreaRightMm = 50;
        form->AreaTopMm = 30;
        form->AreaBottomMm = 45;
        ui().fillBox->setItemIndex(0);
        ui().TavelColorComboBox2->setColorValue(clBlack);
        ui().CopiesED->setValue(2);
    }
    // The area on the paper, mirrored for the back.
    QRect expectedOnPaper(int dpi, int paperWidth, bool back) {
        const int l = MmToDevice(form->AreaLeftMm, dpi), r = MmToDevice(form->AreaRightMm, dpi);
        const int t = MmToDevice(form->AreaTopMm, dpi), b = MmToDevice(form->AreaBottomMm, dpi);
        if (back) return QRect(QPoint(paperWidth - r, t), QPoint(paperWidth - l - 1, b - 1));
        return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
    }
};

} // namespace

namespace {

// Exactly the pixels the jobs' arithmetic gives, as poppler and as
// ghostscript (what the print filters use) rasterise the page.
void ExpectExactlyOnPaper(const QString& pdf, int page, int dpi, const QRect& expected) {
    QString error;
    const QRect region = expected.adjusted(-24, -24, 24, 24);
    const QImage poppler = RenderPdfRegion(pdf, page, dpi, region, &error);
    ASSERT_FALSE(poppler.isNull()) << error.toStdString();
    EXPECT_EQ(InkBounds(poppler).translated(region.topLeft()), expected) << "poppler";
    const QImage ghostscript = RenderWithGhostscript(pdf, page, dpi, &error, region);
    ASSERT_FALSE(ghostscript.isNull()) << error.toStdString();
    EXPECT_EQ(InkBounds(ghostscript).translated(region.topLeft()), expected) << "ghostscript";
}

} // namespace

TEST_F(JobOutput, FrontAndBackJobsLandInAPdfOnExactlyTheirPixels) {
    QTemporaryDir dir;
    SetPrinter(std::make_unique<TQtPrinter>(TQtPrinter::TOutput::Pdf));
    const int dpi = Printer()->GetDeviceCaps(LOGPIXELSX);
    const int paperWidth = Printer()->GetDeviceCaps(PHYSICALWIDTH);
    // The page that prints is A4 as the document states it: 595 x 842 pt.
    EXPECT_EQ(paperWidth, 4958);
    EXPECT_EQ(Printer()->GetDeviceCaps(PHYSICALHEIGHT), 7016);
    // Edges whose device pixels start where a rounded page transform went
    // astray: front column 295, back 2892, bottom row 6543 (exclusive).
    form->AreaLeftMm = 12.49;
    form->AreaRightMm = 87.9;
    form->AreaTopMm = 20.1;
    form->AreaBottomMm = 276.98;
    for (bool back : {false, true}) {
        const QString pdf = dir.filePath(back ? "back.pdf" : "front.pdf");
        Answers().messageAnswers = {IDYES};
        Answers().saveFileAnswers = {pdf};
        if (back)
            form->BackBtnClick(ui().BackBtn);
        else
            form->PrintBtnClick(ui().PrintBtn);
        EXPECT_TRUE(Answers().saveFileProposals.last().endsWith(back ? "Dokumenten-Rückseite vernichten.pdf"
                                                                     : "Dokument vernichten.pdf"));
        const auto info = PdfInfo(pdf);
        EXPECT_EQ(info.value("Pages"), "2");
        EXPECT_EQ(info.value("Title"), back ? "Dokumenten-Rückseite vernichten" : "Dokument vernichten");
        for (int page = 1; page <= 2; ++page) {
            SCOPED_TRACE((back ? "back page " : "front page ") + std::to_string(page));
            ExpectExactlyOnPaper(pdf, page, dpi, expectedOnPaper(dpi, paperWidth, back));
        }
    }
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

// Through a queue at 600 and at 300 dpi, the spooled page read back at the
// queue's resolution.
TEST_F(JobOutput, JobsReachQueuesOfEitherResolutionOnExactlyTheirPixels) {
    PrivateCups cups;
    ASSERT_TRUE(cups.Start()) << cups.Error().toStdString();
    ASSERT_TRUE(cups.AddQueue("Grob", "A4", 300)) << cups.Error().toStdString();
    form->AreaLeftMm = 12.49;
    form->AreaRightMm = 87.9;
    form->AreaTopMm = 20.1;
    form->AreaBottomMm = 276.98;
    ui().CopiesED->setValue(1);
    for (const QString& queue : {cups.Queue(), QString("Grob")}) {
        ASSERT_EQ(cups.Run("lpadmin", {"-d", queue}), 0);
        SetPrinter(std::make_unique<TQtPrinter>());
        const int dpi = Printer()->GetDeviceCaps(LOGPIXELSX);
        ASSERT_EQ(dpi, queue == "Grob" ? 300 : 600);
        const int paperWidth = Printer()->GetDeviceCaps(PHYSICALWIDTH);
        for (bool back : {false, true}) {
            SCOPED_TRACE(QString("%1 dpi, %2").arg(dpi).arg(back ? "back" : "front").toStdString());
            Answers().messageAnswers = {IDYES};
            if (back)
                form->BackBtnClick(ui().BackBtn);
            else
                form->PrintBtnClick(ui().PrintBtn);
            ASSERT_TRUE(cups.WaitUntilIdle(60000, queue)) << cups.LogTail().toStdString();
            QTemporaryDir dir;
            const QString pdf = dir.filePath("spooled.pdf");
            ASSERT_TRUE(cups.SpooledPdf(queue, pdf));
            ExpectExactlyOnPaper(pdf, 1, dpi, expectedOnPaper(dpi, paperWidth, back));
        }
    }
    SetPrinter(std::make_unique<TTestPrinter>()); // before the private queues go away
}

TEST_F(JobOutput, CancelledFileChoicePrintsAndShowsNothing) {
    QTemporaryDir dir;
    SetPrinter(std::make_unique<TQtPrinter>(TQtPrinter::TOutput::Pdf));
    Answers().messageAnswers = {IDYES};
    Answers().saveFileAnswers = {QString()};
    form->PrintBtnClick(ui().PrintBtn);
    EXPECT_EQ(Answers().saveFileProposals.size(), 1);
    EXPECT_TRUE(Answers().Errors().isEmpty());
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_EQ(form->ProgressPercent, 0);
}

TEST_F(JobOutput, HatchedFrontAndBackJobsReachA600DpiQueueInExactlyTheChosenColours) {
    PrivateCups cups;
    ASSERT_TRUE(cups.Start()) << cups.Error().toStdString();
    SetPrinter(std::make_unique<TQtPrinter>());
    const int dpi = Printer()->GetDeviceCaps(LOGPIXELSX);
    ASSERT_EQ(dpi, 600);
    const int paperWidth = Printer()->GetDeviceCaps(PHYSICALWIDTH);
    const QPoint origin(Printer()->GetDeviceCaps(PHYSICALOFFSETX), Printer()->GetDeviceCaps(PHYSICALOFFSETY));
    struct Style {
        int fill;
        TColor fg, bg;
        bool back;
    };
    // The default yellow cross-hatch on black, and red diagonals on white.
    for (const Style& style : {Style{1, clYellow, clBlack, false}, Style{2, clRed, clWhite, true}}) {
        SCOPED_TRACE(style.back ? "back, red on white" : "front, yellow on black");
        ui().fillBox->setItemIndex(style.fill);
        ui().TavelColorComboBox2->setColorValue(style.fg);
        ui().TavelColorComboBox1->setColorValue(style.bg);
        Answers().messageAnswers = {IDYES};
        if (style.back)
            form->BackBtnClick(ui().BackBtn);
        else
            form->PrintBtnClick(ui().PrintBtn);
        ASSERT_TRUE(cups.WaitUntilIdle()) << cups.LogTail().toStdString();
        const auto jobs = cups.Jobs();
        ASSERT_FALSE(jobs.empty());
        EXPECT_EQ(jobs.back().title, style.back ? "Dokumenten-Rückseite vernichten" : "Dokument vernichten");
        EXPECT_EQ(jobs.back().state, PrivateCups::JobCompleted) << cups.LogTail().toStdString();
        QTemporaryDir dir;
        const QString pdf = dir.filePath("spooled.pdf");
        ASSERT_TRUE(cups.SpooledPdf(cups.Queue(), pdf));
        EXPECT_EQ(PdfInfo(pdf).value("Pages"), "2");
        const QRect expected = expectedOnPaper(dpi, paperWidth, style.back);
        for (int page = 1; page <= 2; ++page) {
            SCOPED_TRACE("page " + std::to_string(page));
            QString error;
            const QImage image = RenderWithGhostscript(pdf, page, dpi, &error);
            ASSERT_FALSE(image.isNull()) << error.toStdString();
            QString first;
            EXPECT_EQ(FillMismatches(image, expected, origin, *FillPatternForIndex(style.fill),
                                     ToQColor(style.fg).rgb(), ToQColor(style.bg).rgb(), &first),
                      0)
                << first.toStdString();
            // Nothing of the fill beyond one device pixel around the rectangle.
            const QRect band = expected.adjusted(-8, -8, 8, 8), edge = expected.adjusted(-1, -1, 1, 1);
            int outside = 0;
            for (int y = band.top(); y <= band.bottom(); ++y)
                for (int x = band.left(); x <= band.right(); ++x)
                    if (!edge.contains(x, y) && image.pixel(x, y) != qRgb(255, 255, 255)) ++outside;
            EXPECT_EQ(outside, 0);
        }
    }
    SetPrinter(std::make_unique<TTestPrinter>()); // before the private queue goes away
}
