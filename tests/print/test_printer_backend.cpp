// The system printer backend, read back from what it really produced: PDF
// files through poppler, and a private CUPS queue's output through
// ghostscript.
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/qt_printer.h"
#include "tests/print/cups_fixture.h"
#include "tests/print/output_readback.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
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
    TQtPrinter printer(TQtPrinter::TOutput::Pdf);
    ASSERT_TRUE(printer.WritesPdf());
    printer.SetTitle("Dokumenten-Rückseite vernichten");
    const int dpi = printer.GetDeviceCaps(LOGPIXELSX);
    const int offX = printer.GetDeviceCaps(PHYSICALOFFSETX), offY = printer.GetDeviceCaps(PHYSICALOFFSETY);
    EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSY), dpi);

    printPages(printer, 3, Area);

    ASSERT_EQ(Answers().saveFileProposals.size(), 1);
    EXPECT_EQ(Answers().saveFileProposals[0], QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                                                  "/Dokumenten-Rückseite vernichten.pdf");
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

TEST(PdfPrinter, CancelledFileChoicePrintsAndShowsNothing) {
    TQtPrinter printer(TQtPrinter::TOutput::Pdf);
    printer.SetTitle("Dokument vernichten");
    EXPECT_FALSE(printer.BeginDoc());
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(Answers().saveFileProposals.size(), 1);
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

private:
    static inline test::PrivateCups* cups_ = nullptr;
    static inline bool started_ = false;
};

TEST_F(CupsPrinter, QueueReceivesTheWholeDocumentWithTheRectangleInPlace) {
    TQtPrinter printer;
    ASSERT_FALSE(printer.WritesPdf());
    EXPECT_EQ(printer.Device().printerName(), cups().Queue());
    const int dpi = printer.GetDeviceCaps(LOGPIXELSX);
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

    QTemporaryDir dir;
    const QString pdf = dir.path() + "/spooled.pdf";
    QString error;
    ASSERT_TRUE(test::PostScriptToPdf(cups().OutputFile(), pdf, dpi, &error)) << error.toStdString();
    EXPECT_EQ(test::PdfInfo(pdf).value("Pages"), "2");
    expectRectangleOnPaper(pdf, 1, dpi, Area, offX, offY);
    expectRectangleOnPaper(pdf, 2, dpi, Area, offX, offY);
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
    run("lpadmin", {"-p", "Zweiter", "-E", "-v", "file:/dev/null", "-m", "drv:///sample.drv/generic.ppd"});
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
    EXPECT_EQ(printer.Device().printerName(), cups().Queue());
    EXPECT_GT(printer.GetDeviceCaps(LOGPIXELSX), 0);
}

} // namespace
} // namespace mx
