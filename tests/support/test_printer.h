#pragma once
// A printer for tests and benchmarks: scripted geometry, every document
// recorded with its pages drawn into images of the printable area.
#include "platform/printer.h"

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace mx {

struct TTestGeometry {
    int DpiX = 600;
    int DpiY = 600;
    int PhysicalWidth = 5100;
    int PhysicalHeight = 6600;
    int OffsetX = 100;
    int OffsetY = 150;
    // Printable area; 0 means the paper less the offsets on both sides.
    int PrintableWidth = 0;
    int PrintableHeight = 0;

    int PrintableW() const { return PrintableWidth > 0 ? PrintableWidth : PhysicalWidth - 2 * OffsetX; }
    int PrintableH() const { return PrintableHeight > 0 ? PrintableHeight : PhysicalHeight - 2 * OffsetY; }
};

struct TTestDocument {
    QString Title;
    // One image per page, the printable area at the printer's render scale,
    // white where nothing was drawn; null images when pages are not kept.
    std::vector<QImage> Pages;
    int PageCount = 0;
    int NewPageCalls = 0;
    bool Ended = false;
    bool Aborted = false;
};

class TTestPrinter : public TPrinter {
public:
    explicit TTestPrinter(const TTestGeometry& geometry = {});
    ~TTestPrinter() override;

    int GetDeviceCaps(int index) override;
    void Refresh() override { ++RefreshCalls; }
    QString Name() override { return PrinterName; }

    TTestGeometry Geometry;
    // Image pixels per device pixel. A 600-dpi page at scale 1 is some
    // 120 MB; use a small scale (or a small geometry) for many pages.
    double RenderScale = 1.0;
    // False: pages are counted but their images dropped when they end.
    bool KeepPages = true;

    // Non-empty: capability reads and BeginDoc throw EPrinter(FailMessage).
    QString FailMessage;
    // k > 0: beginning page k (1 = the page BeginDoc opens) throws EPrinter.
    int FailAtPage = 0;
    // BeginDoc returns false, as when the user cancels the file choice.
    bool CancelBeginDoc = false;
    // Called by Setup with the geometry to change; its result is Setup's.
    std::function<bool(TTestGeometry&)> OnSetup;

    QString PrinterName = QStringLiteral("Testdrucker");

    std::vector<TTestDocument> Documents;
    int RefreshCalls = 0;
    int CapsReads = 0;
    int SetupCalls = 0;

    // The bounding rectangle, in device pixels of the printable area, of the
    // page image's pixels in colour c; null when the colour does not occur.
    static QRect FindColor(const QImage& page, const QColor& c, double renderScale);

protected:
    bool StartDocument() override;
    void StartNextPage() override;
    void FinishDocument() override;
    void DiscardDocument() noexcept override;
    TCanvas& PageCanvas() override;
    bool RunSetup() override;

private:
    void BeginPage();
    void EndPage() noexcept;

    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TCanvas> canvas_;
};

} // namespace mx
