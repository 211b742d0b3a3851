// The printer's document rules, over the test backend.
#include "tests/support/test_printer.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/qt_printer.h"

#include "tests/support/test_support.h"

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

TEST(Printer, NoPrinterFailsCapabilityReadsAndDocuments) {
    TTestPrinter printer(smallPaper());
    printer.FailMessage = "Zur Zeit ist kein Standard-Drucker gewählt";
    EXPECT_EQ(test::PrinterErrorOf([&] { printer.GetDeviceCaps(LOGPIXELSX); }), printer.FailMessage);
    EXPECT_EQ(test::PrinterErrorOf([&] { printer.BeginDoc(); }), printer.FailMessage);
    EXPECT_FALSE(printer.Printing());
}

TEST(Printer, CapabilitiesFollowTheGeometryAndSetup) {
    TTestPrinter printer(smallPaper());
    EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSX), 100);
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALHEIGHT), 1100);
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALOFFSETY), 30);
    EXPECT_EQ(printer.GetDeviceCaps(12345), 0);
    printer.OnSetup = [](TTestGeometry& g) {
        std::swap(g.PhysicalWidth, g.PhysicalHeight);
        return true;
    };
    EXPECT_TRUE(printer.Setup());
    EXPECT_EQ(printer.GetDeviceCaps(PHYSICALWIDTH), 1100);
}

TEST(Printer, FilledRectangleLandsOnTheDevicePixels) {
    TTestPrinter printer(smallPaper());
    ASSERT_TRUE(printer.BeginDoc());
    TCanvas& canvas = printer.Canvas();
    canvas.SetBrushColor(clRed);
    canvas.SetBrushStyle(bsSolid);
    canvas.FillRect({40, 60, 200, 90});
    printer.EndDoc();
    const QImage& page = printer.Documents[0].Pages[0];
    EXPECT_EQ(TTestPrinter::FindColor(page, Qt::red, 1.0), QRect(QPoint(40, 60), QPoint(199, 89)));

    // A reduced render scale keeps the position to within a device pixel
    // per image pixel.
    printer.RenderScale = 0.25;
    ASSERT_TRUE(printer.BeginDoc());
    printer.Canvas().SetBrushColor(clRed);
    printer.Canvas().FillRect({40, 60, 200, 90});
    printer.EndDoc();
    const QImage& small = printer.Documents[1].Pages[0];
    EXPECT_EQ(small.size(), QSize(203, 260));
    const QRect found = TTestPrinter::FindColor(small, Qt::red, 0.25);
    EXPECT_NEAR(found.left(), 40, 4);
    EXPECT_NEAR(found.right(), 199, 4);
    EXPECT_NEAR(found.top(), 60, 4);
    EXPECT_NEAR(found.bottom(), 89, 4);
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

TEST(Printer, KeepPagesOffCountsPagesWithoutImages) {
    TTestPrinter printer;
    printer.KeepPages = false;
    ASSERT_TRUE(printer.BeginDoc());
    printer.NewPage();
    printer.EndDoc();
    EXPECT_EQ(printer.Documents[0].PageCount, 2);
    EXPECT_TRUE(printer.Documents[0].Pages[0].isNull());
    EXPECT_TRUE(printer.Documents[0].Pages[1].isNull());
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
