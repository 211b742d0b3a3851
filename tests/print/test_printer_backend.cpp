// The system printer backend, read back from what it really produced: PDF
// files through poppler, and a private CUPS queue's output through
// ghostscript.
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/printer_setup_dialog.h"
#include "platform/qt_printer.h"
#include "tests/support/cups_fixture.h"
#include "tests/support/output_readback.h"
#include "tests/support/test_support.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace mx {
namespace {

using test::Answers;

// Fills the same black rectangle on `pages` pages, one document.
void printPages(TPrinter& printer, int pages, const TRect& r) {
    ASSERT_TRUE(printer.BeginDoc());
    TDocumentGuard guard(printer);
    for (int i = 1; i <= pages; ++i) {
        printer.Canvas().SetBrushColor(clBlack);
        printer.Canvas().SetBrushStyle(bsSolid);
        printer.Canvas().FillRect(r);
        if (i < pages) printer.NewPage();
    }
    printer.EndDoc();
}

// The rectangle r (device pixels from the printable area's corner) must be
// inked exactly there on the paper, give or take one device pixel.
void expectRectangleOnPaper(const QString& pdf, int page, int dpi, const TRect& r, int offsetX, int offsetY) {
    constexpr int margin = 24;
    const QRect region(r.Left + offsetX - margin, r.Top + offsetY - margin, r.Width() + 2 * margin,
                       r.Height() + 2 * margin);
    QString error;
    const QImage image = test::RenderPdfRegion(pdf, page, dpi, region, &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    const QRect ink = test::InkBounds(image);
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_FALSE(ink.isNull()) << "nothing inked near the rectangle";
    EXPECT_NEAR(ink.left(), margin, 1);
    EXPECT_NEAR(ink.top(), margin, 1);
    EXPECT_NEAR(ink.right() + 1, margin + r.Width(), 1);
    EXPECT_NEAR(ink.bottom() + 1, margin + r.Height(), 1);
}

// pdfinfo's "Page size: 595.276 x 841.89 pts (A4)" in points.
QSizeF pageSizePoints(const QMap<QString, QString>& info) {
    const auto m = QRegularExpression(R"(([\d.]+) x ([\d.]+) pts)").match(info.value("Page size"));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

const TRect Area{1200, 2400, 3700, 3050};

TEST(PdfPrinter, DocumentHoldsPagesTitleAndTheRectangleWhereTheDevicePixelsSay) {
    QTemporaryDir dir;
    const QString file = dir.path() + "/ausgabe.pdf";
    Answers().saveFileAnswers.push_back(file);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(QDir().mkpath(documents));
    TQtPrinter printer(TQtPrinter::TOutput::Pdf);
    ASSERT_TRUE(printer.WritesPdf());
    printer.SetTitle("Dokumenten-Rückseite vernichten");
    const int dpi = printer.GetDeviceCaps(LOGPIXELSX);
    const int offX = printer.GetDeviceCaps(PHYSICALOFFSETX), offY = printer.GetDeviceCaps(PHYSICALOFFSETY);
    EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSY), dpi);

    printPages(printer, 3, Area);

    ASSERT_EQ(Answers().saveFileProposals.size(), 1);
    EXPECT_EQ(Answers().saveFileProposals[0], documents + "/Dokumenten-Rückseite vernichten.pdf");
    QString error;
    const auto info = test::PdfInfo(file, &error);
    ASSERT_FALSE(info.isEmpty()) << error.toStdString();
    EXPECT_EQ(info.value("Pages"), "3");
    EXPECT_EQ(info.value("Title"), "Dokumenten-Rückseite vernichten");
    const QSizeF points = pageSizePoints(info);
    EXPECT_NEAR(points.width() * dpi / 72, printer.GetDeviceCaps(PHYSICALWIDTH), 1);
    EXPECT_NEAR(points.height() * dpi / 72, printer.GetDeviceCaps(PHYSICALHEIGHT), 1);
    expectRectangleOnPaper(file, 1, dpi, Area, offX, offY);
    expectRectangleOnPaper(file, 3, dpi, Area, offX, offY);
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

TEST(PdfPrinter, HatchesAreVectorPatternsExactInTheFillColoursAt600Dpi) {
    QTemporaryDir dir;
    const QString file = dir.path() + "/schraffur.pdf";
    Answers().saveFileAnswers.push_back(file);
    TQtPrinter printer(TQtPrinter::TOutput::Pdf);
    // There is no device behind a PDF file: its pixels are 600 dpi.
    ASSERT_EQ(printer.GetDeviceCaps(LOGPIXELSX), 600);
    const QPoint origin(printer.GetDeviceCaps(PHYSICALOFFSETX), printer.GetDeviceCaps(PHYSICALOFFSETY));
    const TBrushStyle styles[] = {bsCross, bsDiagCross, bsBDiagonal, bsFDiagonal, bsHorizontal, bsVertical};
    // Colours that a lossy image would not keep.
    const TColor fg = 0x2726A4, bg = 0x69EFF3;
    std::vector<TRect> rects;
    ASSERT_TRUE(printer.BeginDoc());
    for (int i = 0; i < 6; ++i) {
        rects.push_back({113 + 311 * i, 77 + 45 * i, 113 + 311 * i + 263, 77 + 45 * i + 211});
        TCanvas& c = printer.Canvas();
        c.SetBrushColor(fg);
        c.SetBrushStyle(styles[i]);
        c.SetBkColor(bg);
        c.SetBkMode(OPAQUE);
        c.FillRect(rects.back());
    }
    printer.EndDoc();

    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_FALSE(bytes.contains("/DCTDecode"));
    EXPECT_FALSE(bytes.contains("/Subtype /Image"));
    QString error;
    const QImage page = test::RenderWithGhostscript(file, 1, 600, &error);
    ASSERT_FALSE(page.isNull()) << error.toStdString();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE("hatch " + std::to_string(i));
        const QRect paper = rects[i].ToQRect().translated(origin);
        QString first;
        EXPECT_EQ(test::FillMismatches(page, paper, origin, styles[i], ToQColor(fg).rgb(), ToQColor(bg).rgb(), &first),
                  0)
            << first.toStdString();
    }
}

TEST(PdfPrinter, CancelledFileChoicePrintsAndShowsNothing) {
    TQtPrinter printer(TQtPrinter::TOutput::Pdf);
    printer.SetTitle("Dokument vernichten");
    EXPECT_FALSE(printer.BeginDoc());
    EXPECT_FALSE(printer.Printing());
    ASSERT_EQ(Answers().saveFileProposals.size(), 1);
    // The test's own home has no documents folder yet: the proposal is in
    // the home folder.
    ASSERT_FALSE(QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).exists());
    EXPECT_EQ(Answers().saveFileProposals[0], QDir::homePath() + "/Dokument vernichten.pdf");
    EXPECT_TRUE(Answers().messages.empty());
    EXPECT_THROW(printer.Canvas(), EPrinter);
}

TEST(PdfPrinter, AbortLeavesNoFileAndAnUnwritableFileIsAnError) {
    QTemporaryDir dir;
    const QString file = dir.path() + "/halb.pdf";
    Answers().saveFileAnswers.push_back(file);
    TQtPrinter printer(TQtPrinter::TOutput::Pdf);
    ASSERT_TRUE(printer.BeginDoc());
    printer.Canvas().FillRect(Area);
    printer.NewPage();
    printer.Abort();
    EXPECT_FALSE(printer.Printing());
    EXPECT_FALSE(QFile::exists(file));

    Answers().saveFileAnswers.push_back(dir.path() + "/fehlt/datei.pdf");
    EXPECT_TRUE(test::PrinterErrorOf([&] { printer.BeginDoc(); }).startsWith("Die Datei "));
    EXPECT_FALSE(printer.Printing());

    // The printer is usable again afterwards.
    Answers().saveFileAnswers.push_back(file);
    printPages(printer, 1, Area);
    EXPECT_EQ(test::PdfInfo(file).value("Pages"), "1");
}

TEST(PdfPrinter, CapabilitiesAreCachedUntilSetup) {
    TQtPrinter printer(TQtPrinter::TOutput::Pdf);
    const int width = printer.GetDeviceCaps(PHYSICALWIDTH);
    const int height = printer.GetDeviceCaps(PHYSICALHEIGHT);
    ASSERT_GT(height, width);

    // A change behind the printer's back is not seen by plain reads ...
    printer.Device().setPageOrientation(QPageLayout::Landscape);
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALWIDTH), width);

    // ... but the setup dialog's choice is.
    Answers().onPrinterSetup = [](QPrinter& p) { p.setPageOrientation(QPageLayout::Portrait); };
    Answers().printerSetupAnswers.push_back(true);
    EXPECT_TRUE(printer.Setup());
    EXPECT_EQ(Answers().printerSetups, 1);
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALWIDTH), width);
    Answers().onPrinterSetup = [](QPrinter& p) { p.setPageOrientation(QPageLayout::Landscape); };
    Answers().printerSetupAnswers.push_back(true);
    EXPECT_TRUE(printer.Setup());
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALWIDTH), height);
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALHEIGHT), width);
}

class CupsPrinter : public testing::Test {
protected:
    static void SetUpTestSuite() {
        cups_ = new test::PrivateCups;
        started_ = cups_->Start();
    }
    static void TearDownTestSuite() {
        delete cups_;
        cups_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(started_) << "private cupsd: " << cups_->Error().toStdString(); }

    static test::PrivateCups& cups() { return *cups_; }

    void run(const QString& tool, const QStringList& args) {
        QString output;
        ASSERT_EQ(cups().Run(tool, args, &output), 0) << tool.toStdString() << ": " << output.toStdString();
    }

    // Page `page` of the last job of a queue, rendered by ghostscript at dpi.
    QImage spooledPage(const QString& queue, int page, int dpi) {
        const QString pdf = dir_.filePath("spooled-" + queue + ".pdf");
        EXPECT_TRUE(cups().SpooledPdf(queue, pdf)) << "no PDF in " << cups().OutputFile(queue).toStdString();
        QString error;
        const QImage image = test::RenderWithGhostscript(pdf, page, dpi, &error);
        EXPECT_FALSE(image.isNull()) << error.toStdString();
        return image;
    }
    QString spooledPdf(const QString& queue) {
        const QString pdf = dir_.filePath("spooled-" + queue + ".pdf");
        EXPECT_TRUE(cups().SpooledPdf(queue, pdf));
        return pdf;
    }

private:
    QTemporaryDir dir_;
    static inline test::PrivateCups* cups_ = nullptr;
    static inline bool started_ = false;
};

// The ink of a solid rectangle r (device pixels from the printable corner)
// on a page rendered at the device resolution, within one pixel.
void expectInkAt(const QImage& page, const TRect& r, int offsetX, int offsetY) {
    const QRect expected(r.Left + offsetX, r.Top + offsetY, r.Width(), r.Height());
    const QRect ink = test::InkBounds(page.copy(expected.adjusted(-24, -24, 24, 24)));
    ASSERT_FALSE(ink.isNull()) << "nothing inked near the rectangle";
    const QRect found = ink.translated(expected.topLeft() - QPoint(24, 24));
    EXPECT_NEAR(found.left(), expected.left(), 1);
    EXPECT_NEAR(found.top(), expected.top(), 1);
    EXPECT_NEAR(found.right(), expected.right(), 1);
    EXPECT_NEAR(found.bottom(), expected.bottom(), 1);
}

TEST_F(CupsPrinter, QueueReceivesTheWholeDocumentAtItsOwnResolutionWithTheRectangleInPlace) {
    TQtPrinter printer;
    ASSERT_FALSE(printer.WritesPdf());
    EXPECT_EQ(printer.Device().printerName(), cups().Queue());
    EXPECT_EQ(printer.Name(), cups().Queue());
    // The queue's driver prints at 600 dpi; device pixels are its pixels.
    const int dpi = printer.GetDeviceCaps(LOGPIXELSX);
    EXPECT_EQ(dpi, 600);
    EXPECT_EQ(printer.Device().resolution(), 600);
    // A4 as the driver gives it, 595 x 842 points.
    EXPECT_NEAR(printer.GetDeviceCaps(PHYSICALWIDTH), 595.0 / 72 * 600, 1);
    EXPECT_NEAR(printer.GetDeviceCaps(PHYSICALHEIGHT), 842.0 / 72 * 600, 1);
    const int offX = printer.GetDeviceCaps(PHYSICALOFFSETX), offY = printer.GetDeviceCaps(PHYSICALOFFSETY);
    // The queue's driver has unprintable margins, so the offsets are real.
    EXPECT_GT(offX, 0);
    EXPECT_GT(offY, 0);
    const size_t before = cups().Jobs().size();

    printer.SetTitle("Dokument vernichten");
    printPages(printer, 2, Area);
    EXPECT_TRUE(Answers().saveFileProposals.isEmpty());

    ASSERT_TRUE(cups().WaitUntilIdle()) << cups().LogTail().toStdString();
    const auto jobs = cups().Jobs();
    ASSERT_EQ(jobs.size(), before + 1);
    EXPECT_EQ(jobs.back().title, "Dokument vernichten");
    ASSERT_EQ(jobs.back().state, test::PrivateCups::JobCompleted) << cups().LogTail().toStdString();
    EXPECT_EQ(test::PdfInfo(spooledPdf(cups().Queue())).value("Pages"), "2");
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        expectInkAt(spooledPage(cups().Queue(), page, dpi), Area, offX, offY);
    }
}

TEST_F(CupsPrinter, HatchesReachThePaperInExactlyTheTwoColoursAtTheQueuesResolution) {
    for (int dpi : {600, 300}) {
        SCOPED_TRACE("queue at " + std::to_string(dpi) + " dpi");
        const QString queue = QString("Raster%1").arg(dpi);
        ASSERT_TRUE(cups().AddQueue(queue, "A4", dpi)) << cups().Error().toStdString();
        run("lpadmin", {"-d", queue});
        TQtPrinter printer;
        ASSERT_EQ(printer.GetDeviceCaps(LOGPIXELSX), dpi);
        const int offX = printer.GetDeviceCaps(PHYSICALOFFSETX), offY = printer.GetDeviceCaps(PHYSICALOFFSETY);
        const TBrushStyle styles[] = {bsCross, bsDiagCross, bsBDiagonal, bsFDiagonal, bsHorizontal, bsVertical};
        std::vector<TRect> rects;
        ASSERT_TRUE(printer.BeginDoc());
        for (int i = 0; i < 6; ++i) {
            // Odd corners, so the pattern's phase cannot follow the rectangle.
            rects.push_back({301 + 203 * i, 417 + 31 * i, 301 + 203 * i + 171, 417 + 31 * i + 149});
            TCanvas& c = printer.Canvas();
            c.SetBrushColor(i % 2 ? clRed : clYellow);
            c.SetBrushStyle(styles[i]);
            c.SetBkColor(i % 2 ? clWhite : clBlack);
            c.SetBkMode(OPAQUE);
            c.FillRect(rects.back());
        }
        printer.EndDoc();
        ASSERT_TRUE(cups().WaitUntilIdle(60000, queue)) << cups().LogTail().toStdString();
        const QImage page = spooledPage(queue, 1, dpi);
        ASSERT_FALSE(page.isNull());
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE("hatch " + std::to_string(i));
            const TRect& r = rects[i];
            QString first;
            EXPECT_EQ(test::FillMismatches(page, QRect(r.Left + offX, r.Top + offY, r.Width(), r.Height()),
                                           QPoint(offX, offY), styles[i], i % 2 ? qRgb(255, 0, 0) : qRgb(255, 255, 0),
                                           i % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0), &first),
                      0)
                << first.toStdString();
        }
        run("lpadmin", {"-d", cups().Queue()});
    }
}

TEST_F(CupsPrinter, RefusingOrStoppedQueueIsAnErrorAtBeginDoc) {
    TQtPrinter printer;
    const size_t before = cups().Jobs().size();

    run("cupsreject", {cups().Queue()});
    EXPECT_EQ(test::PrinterErrorOf([&] { printer.BeginDoc(); }),
              "Der Drucker MarbeluxTest nimmt zur Zeit keine Aufträge an");
    EXPECT_FALSE(printer.Printing());
    run("cupsaccept", {cups().Queue()});

    run("cupsdisable", {cups().Queue()});
    EXPECT_EQ(test::PrinterErrorOf([&] { printer.BeginDoc(); }), "Der Drucker MarbeluxTest ist angehalten");
    EXPECT_FALSE(printer.Printing());
    run("cupsenable", {cups().Queue()});

    ASSERT_TRUE(printer.BeginDoc());
    printer.Abort();
    EXPECT_EQ(cups().Jobs().size(), before);
}

TEST_F(CupsPrinter, AbortedDocumentNeverReachesTheQueue) {
    const QStringList spoolBefore = QDir::temp().entryList({"marbelux-*.prn"});
    const size_t before = cups().Jobs().size();
    {
        TQtPrinter printer;
        ASSERT_TRUE(printer.BeginDoc());
        TDocumentGuard guard(printer);
        printer.Canvas().FillRect(Area);
        printer.NewPage();
        printer.Canvas().FillRect(Area);
        // The guard drops the document as if the job had failed here.
    }
    EXPECT_EQ(cups().Jobs().size(), before);
    EXPECT_EQ(QDir::temp().entryList({"marbelux-*.prn"}), spoolBefore);
}

TEST_F(CupsPrinter, NoDefaultQueueFailsUntilOneIsChosenInSetup) {
    // Making a second queue the default and deleting it leaves queues but
    // no default.
    ASSERT_TRUE(cups().AddQueue("Zweiter", "A4", 600)) << cups().Error().toStdString();
    run("lpadmin", {"-d", "Zweiter"});
    run("lpadmin", {"-x", "Zweiter"});
    struct Restore {
        test::PrivateCups& cups;
        ~Restore() { cups.Run("lpadmin", {"-d", cups.Queue()}); }
    } restore{cups()};

    TQtPrinter printer;
    EXPECT_EQ(test::PrinterErrorOf([&] { printer.GetDeviceCaps(LOGPIXELSX); }),
              "Zur Zeit ist kein Standard-Drucker gewählt");
    EXPECT_EQ(test::PrinterErrorOf([&] { printer.BeginDoc(); }), "Zur Zeit ist kein Standard-Drucker gewählt");

    // A cancelled setup leaves it so; a confirmed one gives a printer.
    EXPECT_FALSE(printer.Setup());
    EXPECT_THROW(printer.GetDeviceCaps(LOGPIXELSX), EPrinter);
    Answers().printerSetupAnswers.push_back(true);
    EXPECT_TRUE(printer.Setup());
    EXPECT_FALSE(printer.Device().printerName().isEmpty());
    EXPECT_GT(printer.GetDeviceCaps(LOGPIXELSX), 0);
}

TEST_F(CupsPrinter, SetupChoosesAnotherQueuePaperAndOrientationForTheNextJob) {
    ASSERT_TRUE(cups().AddQueue("Brief", "Letter", 300)) << cups().Error().toStdString();
    TQtPrinter printer;
    ASSERT_EQ(printer.Device().printerName(), cups().Queue());
    const int a4Width = printer.GetDeviceCaps(PHYSICALWIDTH);

    // The real dialog, used with the mouse and the keyboard.
    Answers().onPrinterSetup = [](QPrinter& device) {
        TPrinterSetupDialog dialog(device);
        dialog.show();
        ASSERT_NE(dialog.PrinterBox(), nullptr);
        EXPECT_GE(dialog.PrinterBox()->findText("Brief"), 0);
        EXPECT_GE(dialog.PrinterBox()->findText("MarbeluxTest"), 0);
        dialog.PrinterBox()->setCurrentIndex(dialog.PrinterBox()->findText("Brief"));
        // The paper chosen so far stays where the other queue has it too.
        EXPECT_EQ(dialog.PaperBox()->currentText(), "A4");
        const int a5 = dialog.PaperBox()->findText("A5");
        ASSERT_GE(a5, 0);
        dialog.PaperBox()->setCurrentIndex(a5);
        QTest::mouseClick(dialog.LandscapeButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.LandscapeButton()->isChecked());
        dialog.Apply(device);
    };
    Answers().printerSetupAnswers.push_back(true);
    ASSERT_TRUE(printer.Setup());
    EXPECT_EQ(printer.Device().printerName(), "Brief");
    EXPECT_EQ(printer.Name(), "Brief");
    // A5 (420 x 595 points) landscape at the new queue's 300 dpi.
    EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSX), 300);
    EXPECT_NEAR(printer.GetDeviceCaps(PHYSICALWIDTH), 595.0 / 72 * 300, 1);
    EXPECT_NEAR(printer.GetDeviceCaps(PHYSICALHEIGHT), 420.0 / 72 * 300, 1);
    EXPECT_NE(printer.GetDeviceCaps(PHYSICALWIDTH), a4Width);

    const size_t before = cups().Jobs("Brief").size();
    printer.SetTitle("Dokument vernichten");
    printPages(printer, 1, {100, 100, 500, 400});
    ASSERT_TRUE(cups().WaitUntilIdle(60000, "Brief")) << cups().LogTail().toStdString();
    ASSERT_EQ(cups().Jobs("Brief").size(), before + 1);
    EXPECT_EQ(cups().Jobs("Brief").back().state, test::PrivateCups::JobCompleted);
    // The queue gets A5 paper; the landscape page lies on it turned.
    const auto info = test::PdfInfo(spooledPdf("Brief"));
    const QSizeF points = pageSizePoints(info);
    EXPECT_NEAR(std::min(points.width(), points.height()), 420, 1) << info.value("Page size").toStdString();
    EXPECT_NEAR(std::max(points.width(), points.height()), 595, 1);

    // A cancelled setup changes nothing.
    Answers().onPrinterSetup = [](QPrinter& device) {
        TPrinterSetupDialog dialog(device);
        dialog.PrinterBox()->setCurrentIndex(dialog.PrinterBox()->findText("MarbeluxTest"));
        dialog.PortraitButton()->setChecked(true);
    };
    Answers().printerSetupAnswers.push_back(false);
    EXPECT_FALSE(printer.Setup());
    EXPECT_EQ(printer.Name(), "Brief");
    EXPECT_NEAR(printer.GetDeviceCaps(PHYSICALHEIGHT), 420.0 / 72 * 300, 1);
}

TEST_F(CupsPrinter, APrintSystemThatIsDownAsksBeforeWritingAFileAndIsUsedOnceItIsBack) {
    cups().Stop();
    struct Restart {
        test::PrivateCups& cups;
        ~Restart() { cups.Restart(); }
    } restart{cups()};
    QTemporaryDir dir;
    TQtPrinter printer;
    // Capabilities stay readable: the sheet keeps a size.
    EXPECT_GT(printer.GetDeviceCaps(PHYSICALWIDTH), 0);
    EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSX), TQtPrinter::DefaultDpi);

    // "Nein": nothing printed, no file asked for.
    Answers().messageAnswers = {IDNO};
    printer.Refresh();
    EXPECT_FALSE(printer.BeginDoc());
    ASSERT_EQ(Answers().messages.size(), 1u);
    EXPECT_TRUE(Answers().messages[0].text.startsWith("Das Drucksystem ("));
    EXPECT_TRUE(Answers().messages[0].text.contains("als PDF-Datei gespeichert werden?"));
    EXPECT_EQ(Answers().messages[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(Answers().saveFileProposals.isEmpty());

    // "Ja": the document goes into the file the user chooses.
    const QString file = dir.filePath("ersatz.pdf");
    Answers().messageAnswers = {IDYES};
    Answers().saveFileAnswers = {file};
    printer.Refresh();
    printPages(printer, 1, Area);
    EXPECT_EQ(test::PdfInfo(file).value("Pages"), "1");

    // Back again: the next job goes to the queue, without a restart.
    ASSERT_TRUE(cups().Restart()) << cups().Error().toStdString();
    const size_t before = cups().Jobs().size();
    const size_t asked = Answers().messages.size();
    printer.Refresh();
    EXPECT_FALSE(printer.WritesPdf());
    EXPECT_EQ(printer.Name(), cups().Queue());
    printPages(printer, 1, Area);
    EXPECT_EQ(Answers().messages.size(), asked);
    ASSERT_TRUE(cups().WaitUntilIdle()) << cups().LogTail().toStdString();
    EXPECT_EQ(cups().Jobs().size(), before + 1);
}

TEST(SystemPrinter, NoPrintSystemAtAllWritesPdfWithoutAQuestion) {
    QTemporaryDir dir;
    TQtPrinter printer(TQtPrinter::TOutput::System, [](QString*) { return TPrintSystem::Absent; });
    EXPECT_TRUE(printer.WritesPdf());
    EXPECT_EQ(printer.Name(), "PDF");
    EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSX), TQtPrinter::DefaultDpi);
    Answers().saveFileAnswers = {dir.filePath("a.pdf")};
    printer.Refresh();
    printPages(printer, 1, Area);
    EXPECT_TRUE(Answers().messages.empty());
    EXPECT_EQ(Answers().saveFileProposals.size(), 1);
}

} // namespace
} // namespace mx
