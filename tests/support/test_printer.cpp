#include "tests/support/test_printer.h"

#include "platform/canvas.h"
#include "platform/exception.h"

#include <QPainter>
#include <cmath>

namespace mx {

TTestPrinter::TTestPrinter(const TTestGeometry& geometry) : Geometry(geometry) {}

TTestPrinter::~TTestPrinter() = default;

int TTestPrinter::GetDeviceCaps(int index) {
    ++CapsReads;
    if (!FailMessage.isEmpty()) throw EPrinter(FailMessage);
    switch (index) {
    case LOGPIXELSX: return Geometry.DpiX;
    case LOGPIXELSY: return Geometry.DpiY;
    case PHYSICALWIDTH: return Geometry.PhysicalWidth;
    case PHYSICALHEIGHT: return Geometry.PhysicalHeight;
    case PHYSICALOFFSETX: return Geometry.OffsetX;
    case PHYSICALOFFSETY: return Geometry.OffsetY;
    default: return 0;
    }
}

void TTestPrinter::BeginPage() {
    TTestDocument& doc = Documents.back();
    const int page = doc.PageCount + 1;
    if (page == FailAtPage) throw EPrinter(QString("Seite %1 kann nicht gedruckt werden").arg(page));
    QImage image(int(std::ceil(Geometry.PrintableW() * RenderScale)),
                 int(std::ceil(Geometry.PrintableH() * RenderScale)), QImage::Format_RGB32);
    image.fill(Qt::white);
    doc.Pages.push_back(std::move(image));
    doc.PageCount = page;
    painter_ = std::make_unique<QPainter>(&doc.Pages.back());
    painter_->scale(RenderScale, RenderScale);
    canvas_ = std::make_unique<TCanvas>(painter_.get());
}

void TTestPrinter::EndPage() noexcept {
    canvas_.reset();
    if (!painter_) return;
    painter_.reset();
    if (!KeepPages) Documents.back().Pages.back() = QImage();
}

bool TTestPrinter::StartDocument() {
    if (!FailMessage.isEmpty()) throw EPrinter(FailMessage);
    if (CancelBeginDoc) return false;
    Documents.push_back({});
    Documents.back().Title = Title();
    try {
        BeginPage();
    } catch (...) {
        Documents.back().Aborted = true;
        throw;
    }
    return true;
}

void TTestPrinter::StartNextPage() {
    EndPage();
    ++Documents.back().NewPageCalls;
    BeginPage();
}

void TTestPrinter::FinishDocument() {
    EndPage();
    Documents.back().Ended = true;
}

void TTestPrinter::DiscardDocument() noexcept {
    EndPage();
    Documents.back().Aborted = true;
}

TCanvas& TTestPrinter::PageCanvas() { return *canvas_; }

bool TTestPrinter::RunSetup() {
    ++SetupCalls;
    return OnSetup ? OnSetup(Geometry) : false;
}

QRect TTestPrinter::FindColor(const QImage& page, const QColor& c, double renderScale) {
    const QRgb wanted = c.rgb();
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if ((line[x] | 0xFF000000u) != wanted) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    const auto device = [renderScale](int v) { return int(std::lround(v / renderScale)); };
    return QRect(QPoint(device(left), device(top)), QPoint(device(right + 1) - 1, device(bottom + 1) - 1));
}

} // namespace mx
