// The printer's document rules over the test backend, and the system
// printer's capabilities and the CUPS queues it reads.
#include "tests/support/test_printer.h"
#include "platform/canvas.h"
#include "platform/cups_queue.h"
#include "platform/exception.h"
#include "platform/qt_printer.h"
#include "tests/support/cups_fixture.h"

#include "tests/support/test_support.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <gtest/gtest.h>

namespace mx {
namespace {

TTestGeometry smallPaper() {
    TTestGeometry g;
    g.DpiX = g.DpiY = 100;
    g.PhysicalWidth = 850;
    g.PhysicalHeight = 1100;
    g.OffsetX = 20;
    g.OffsetY = 30;
    return g;
}

TEST(Printer, DocumentRecordsTitlePagesAndEnd) {
    TTestPrinter printer(smallPaper());
    printer.SetTitle("Dokument vernichten");
    ASSERT_TRUE(printer.BeginDoc());
    EXPECT_TRUE(printer.Printing());
    printer.NewPage();
    printer.NewPage();
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    ASSERT_EQ(printer.Documents.size(), 1u);
    const TTestDocument& doc = printer.Documents[0];
    EXPECT_EQ(doc.Title, "Dokument vernichten");
    EXPECT_EQ(doc.PageCount, 3);
    EXPECT_EQ(doc.NewPageCalls, 2);
    EXPECT_TRUE(doc.Ended);
    EXPECT_FALSE(doc.Aborted);
    // The page image is the printable area.
    EXPECT_EQ(doc.Pages[0].size(), QSize(810, 1040));
}

TEST(Printer, SecondDocumentWhileOneIsOpenIsRefusedAndTheFirstGoesOn) {
    TTestPrinter printer(smallPaper());
    ASSERT_TRUE(printer.BeginDoc());
    EXPECT_EQ(test::PrinterErrorOf([&] { printer.BeginDoc(); }), "Das Drucken ist im Gang");
    EXPECT_EQ(test::PrinterErrorOf([&] { printer.Setup(); }), "Das Drucken ist im Gang");
    EXPECT_TRUE(printer.Printing());
    printer.EndDoc();
    ASSERT_EQ(printer.Documents.size(), 1u);
    EXPECT_TRUE(printer.Documents[0].Ended);
    EXPECT_EQ(printer.SetupCalls, 0);
}

TEST(Printer, FailureAtAPageAbortsTheDocumentAndThePrinterRecovers) {
    TTestPrinter printer(smallPaper());
    printer.FailAtPage = 2;
    ASSERT_TRUE(printer.BeginDoc());
    EXPECT_THROW(printer.NewPage(), EPrinter);
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(printer.Documents[0].Aborted);
    EXPECT_FALSE(printer.Documents[0].Ended);

    printer.FailAtPage = 0;
    ASSERT_TRUE(printer.BeginDoc());
    printer.EndDoc();
    EXPECT_TRUE(printer.Documents[1].Ended);

    // A failure on the first page leaves the printer idle.
    printer.FailAtPage = 1;
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(printer.Documents[2].Aborted);
}

TEST(Printer, GuardAbortsAFailedJobButNotAnEndedOne) {
    TTestPrinter printer(smallPaper());
    try {
        ASSERT_TRUE(printer.BeginDoc());
        TDocumentGuard guard(printer);
        printer.Canvas().FillRect({0, 0, 10, 10});
        throw std::runtime_error("Abbruch");
    } catch (const std::runtime_error&) {}
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(printer.Documents[0].Aborted);

    {
        ASSERT_TRUE(printer.BeginDoc());
        TDocumentGuard guard(printer);
        printer.EndDoc();
    }
    EXPECT_TRUE(printer.Documents[1].Ended);
    EXPECT_FALSE(printer.Documents[1].Aborted);
}

TEST(Printer, CancelledBeginDocPrintsNothing) {
    TTestPrinter printer(smallPaper());
    printer.CancelBeginDoc = true;
    EXPECT_FALSE(printer.BeginDoc());
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(printer.Documents.empty());
    EXPECT_THROW(printer.Canvas(), EPrinter);
    EXPECT_THROW(printer.EndDoc(), EPrinter);
}

TEST(Printer, EveryPageStartsWithTheDefaultDrawingState) {
    TTestPrinter printer(smallPaper());
    ASSERT_TRUE(printer.BeginDoc());
    printer.Canvas().SetBrushColor(clBlue);
    printer.Canvas().SetBrushStyle(bsCross);
    printer.Canvas().SetBkColor(clYellow);
    printer.NewPage();
    const TCanvas& fresh = printer.Canvas();
    EXPECT_EQ(fresh.Brush().Color, clWhite);
    EXPECT_EQ(fresh.Brush().Style, bsSolid);
    EXPECT_EQ(fresh.BkColor(), clWhite);
    printer.EndDoc();
}

TEST(Printer, AbortProcRunsAfterEveryPageAndSeesTheJobBusy) {
    TTestPrinter printer(smallPaper());
    int calls = 0;
    QStringList nested;
    printer.AbortProc = [&] {
        ++calls;
        nested.append(test::PrinterErrorOf([&] { printer.BeginDoc(); }));
    };
    ASSERT_TRUE(printer.BeginDoc());
    printer.NewPage();
    printer.NewPage();
    printer.EndDoc();
    EXPECT_EQ(calls, 3);
    // While pages are still going out a second document is refused; once
    // the last page is done a new one may begin.
    EXPECT_EQ(nested, QStringList({"Das Drucken ist im Gang", "Das Drucken ist im Gang", ""}));
    printer.AbortProc = nullptr;
    printer.EndDoc();
    EXPECT_EQ(printer.Documents.size(), 2u);
}

// The system printer's capabilities are the page it writes: A4 as the
// document states it, in whole points, at 600 dpi, with Qt's margins.
TEST(SystemPrinter, PdfCapabilitiesAreThePageItWrites) {
    TQtPrinter printer(TQtPrinter::TOutput::Pdf);
    printer.Device().setPageSize(QPageSize(QPageSize::A4));
    printer.Device().setPageOrientation(QPageLayout::Portrait);
    printer.Refresh();
    EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSX), 600);
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALWIDTH), 4958);  // 595 pt
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALHEIGHT), 7016); // 842 pt
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALOFFSETX), 83);  // 10 pt
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALOFFSETY), 83);
    EXPECT_EQ(printer.GetDeviceCaps(12345), 0);
    // Another paper and orientation, read again once asked for.
    printer.Device().setPageSize(QPageSize(QPageSize::Letter));
    printer.Device().setPageOrientation(QPageLayout::Landscape);
    printer.Refresh();
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALWIDTH), 6600); // 792 pt
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALHEIGHT), 5100);
    EXPECT_EQ(printer.Name(), "PDF");
}

// A queue's own resolution comes from its driver; one whose driver states
// none is taken at 600 dpi.
TEST(SystemPrinter, QueueResolutionFromTheDriverOrSixHundred) {
    test::PrivateCups cups;
    ASSERT_TRUE(cups.Start()) << cups.Error().toStdString();
    ASSERT_TRUE(cups.AddQueue("Grob", "A4", 300)) << cups.Error().toStdString();
    QString output;
    ASSERT_EQ(cups.Run("lpadmin", {"-p", "Roh", "-E", "-v", "file:" + cups.OutputFile("Roh"), "-m", "raw"}, &output), 0)
        << output.toStdString();
    EXPECT_EQ(QueueResolution("Grob"), 300);
    EXPECT_EQ(QueueResolution(cups.Queue()), 600);
    EXPECT_EQ(QueueResolution("Roh"), 0);
    EXPECT_EQ(QueueResolution("GibtEsNicht"), 0);
    for (const auto& [queue, dpi] : {std::pair{QString("Grob"), 300}, {QString("Roh"), TQtPrinter::DefaultDpi}}) {
        ASSERT_EQ(cups.Run("lpadmin", {"-d", queue}), 0);
        TQtPrinter printer;
        EXPECT_EQ(printer.Name(), queue);
        EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSX), dpi) << queue.toStdString();
    }
    // A queue that takes no jobs is said before anything is sent.
    ASSERT_EQ(cups.Run("cupsreject", {"Grob"}), 0);
    EXPECT_FALSE(test::PrinterErrorOf([] { CheckQueueTakesJobs("Grob"); }).isEmpty());
    EXPECT_TRUE(test::PrinterErrorOf([&] { CheckQueueTakesJobs(cups.Queue()); }).isEmpty());
}

TEST(Printer, SetPrinterReplacesTheCurrentOne) {
    auto test = std::make_unique<TTestPrinter>(smallPaper());
    TTestPrinter* raw = test.get();
    auto previous = SetPrinter(std::move(test));
    EXPECT_EQ(Printer(), raw);
    EXPECT_EQ(Printer()->GetDeviceCaps(PHYSICALWIDTH), 850);
    SetPrinter(std::move(previous));
    // Without one set, the system's printer (the freed one's memory may
    // well be reused for it).
    EXPECT_NE(dynamic_cast<TQtPrinter*>(Printer()), nullptr);
}

} // namespace
} // namespace mx
