// Backdrop loader: any bytes either load as a PDF document or an image, or
// raise EBackdrop. What loads is placed, rendered in a small region of its
// last page and searched once. Every input also goes through the PDF path
// behind a PDF header, so mutations that lose the header still reach it.
#include "backdrop/backdrop.h"
#include "platform/canvas.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void Exercise(const QByteArray& bytes) {
    std::unique_ptr<mx::TBackdrop> backdrop;
    try {
        backdrop = mx::TBackdrop::FromBytes(bytes, "fuzz");
    } catch (const mx::EBackdrop&) {
        return;
    }
    if (backdrop->PageCount() < 1) std::abort();
    try {
        backdrop->SetPage(backdrop->PageCount());
    } catch (const mx::EBackdrop&) {
        // A damaged later page; the first one loaded.
    }
    const QRectF placement = backdrop->PlacementMm(210, 297);
    if (!(placement.width() >= 0) || !(placement.height() >= 0)) std::abort();
    // A 48 x 40 region of the sheet's top-left part at zoom 50.
    const mx::TViewMapping mapping{0, 0, 50, 96};
    QImage buffer(48, 40, QImage::Format_RGB32);
    {
        mx::TCanvas canvas(&buffer);
        backdrop->Draw(canvas, mapping, 210, 297, QRect(0, 0, 397, 561), QRect(8, 8, 48, 40));
    }
    if (!backdrop->Rendered().isNull() && (backdrop->Rendered().width() > 48 || backdrop->Rendered().height() > 40))
        std::abort();
    (void)backdrop->FindNext("e", 210, 297);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MARBELUX_MODULE_DIR", MARBELUX_MODULE_DIR);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    Exercise(bytes);
    if (!bytes.left(1024).contains("%PDF-")) Exercise("%PDF-1.4\n" + bytes);
    return 0;
}
