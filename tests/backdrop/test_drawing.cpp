// Drawing the backdrop into a preview buffer: where its pixels land, what
// clips them, how light they are, and when it renders anew.
#include "backdrop/backdrop.h"
#include "platform/canvas.h"
#include "tests/backdrop/backdrop_files.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

// No backdrop pixel can be pure red: its green and blue are lightened too.
const QRgb Untouched = qRgb(255, 0, 0);
const QRectF DarkMm(50, 80, 60, 40);

struct TView {
    TViewMapping Mapping{16, 16, 100, 96};
    double SheetW = 210, SheetH = 297;
    QRect Visible{0, 0, 1000, 1300};

    QRect SheetPreview() const {
        return QRect(QPoint(Mapping.ToPreviewX(0), Mapping.ToPreviewY(0)),
                     QPoint(Mapping.ToPreviewX(SheetW) - 1, Mapping.ToPreviewY(SheetH) - 1));
    }
    // The dark rectangle's edges in preview pixels, as the mapping puts them.
    QRect Expected(const QRectF& mm) const {
        return QRect(QPoint(Mapping.ToPreviewX(mm.left()), Mapping.ToPreviewY(mm.top())),
                     QPoint(Mapping.ToPreviewX(mm.right()) - 1, Mapping.ToPreviewY(mm.bottom()) - 1));
    }
};

// The preview buffer: preview pixel (x, y) at (x - origin.x, y - origin.y),
// drawn through a canvas translated as the paint box translates it.
QImage Draw(TBackdrop& backdrop, const TView& view, QPoint origin = {0, 0}, QSize size = {1000, 1300}) {
    QImage buffer(size, QImage::Format_RGB32);
    buffer.fill(Untouched);
    TCanvas canvas(&buffer);
    canvas.Painter().translate(-origin);
    backdrop.Draw(canvas, view.Mapping, view.SheetW, view.SheetH, view.SheetPreview(), view.Visible);
    return buffer;
}

// Bounding box (preview pixels) of the pixels darker than halfway between
// the backdrop's darkest and white: where a smoothed edge really lies.
QRect DarkBox(const QImage& buffer, QPoint origin = {0, 0}) {
    QRect box;
    for (int y = 0; y < buffer.height(); ++y)
        for (int x = 0; x < buffer.width(); ++x) {
            const QRgb p = buffer.pixel(x, y);
            if (p != Untouched && qGray(p) < (BackdropDarkest + 255) / 2)
                box |= QRect(x + origin.x(), y + origin.y(), 1, 1);
        }
    return box;
}

void ExpectWithinOnePixel(const QRect& actual, const QRect& expected) {
    EXPECT_NEAR(actual.left(), expected.left(), 1);
    EXPECT_NEAR(actual.top(), expected.top(), 1);
    EXPECT_NEAR(actual.right(), expected.right(), 1);
    EXPECT_NEAR(actual.bottom(), expected.bottom(), 1);
}

std::unique_ptr<TBackdrop> DarkRectanglePdf() {
    TTestPage first;
    first.BlackRectsMm = {DarkMm};
    TTestPage second;
    second.BlackRectsMm = {{10, 10, 20, 20}};
    return TBackdrop::FromBytes(MakePdf({first, second}), "rechteck.pdf");
}

} // namespace

TEST(BackdropDrawing, PdfPixelsLandWhereTheMappingSays) {
    const auto backdrop = DarkRectanglePdf();
    for (const int zoom : {30, 100, 173}) {
        SCOPED_TRACE(zoom);
        TView view;
        view.Mapping.Zoom = zoom;
        view.Mapping.OriginX = 23;
        ExpectWithinOnePixel(DarkBox(Draw(*backdrop, view)), view.Expected(DarkMm));
    }
}

TEST(BackdropDrawing, ScanPixelsLandWhereTheMappingSays) {
    // 2 pixels per millimetre, no stored resolution: fitted to the A4 sheet,
    // so the black rectangle lies at the same millimetres as the PDF's.
    const auto scan = TBackdrop::FromBytes(MakeImage({420, 594}, {100, 160, 120, 80}, "png", 0), "scan.png");
    // Zoom 30 shrinks the scan, 100 and 400 enlarge it: both ways of scaling.
    for (const int zoom : {30, 100, 400}) {
        SCOPED_TRACE(zoom);
        TView view;
        view.Mapping.Zoom = zoom;
        ExpectWithinOnePixel(DarkBox(Draw(*scan, view)), view.Expected(DarkMm) & view.Visible);
    }
}

TEST(BackdropDrawing, NothingOutsideTheSheetAndTheVisibleRectangle) {
    // An A4 page on a smaller sheet, of which only a part is visible.
    const auto backdrop = DarkRectanglePdf();
    TView view;
    view.SheetW = 150;
    view.SheetH = 100;
    view.Visible = QRect(60, 40, 700, 300);
    const QImage buffer = Draw(*backdrop, view);
    const QRect drawn = view.SheetPreview() & view.Visible;
    // The sheet clips on the right, the visible rectangle on the other sides.
    ASSERT_LT(drawn.right(), view.Visible.right());
    int outside = 0, missing = 0;
    for (int y = 0; y < buffer.height(); ++y)
        for (int x = 0; x < buffer.width(); ++x) {
            const bool untouched = buffer.pixel(x, y) == Untouched;
            if (drawn.contains(x, y) ? untouched : !untouched) ++(untouched ? missing : outside);
        }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(missing, 0);
}

TEST(BackdropDrawing, EveryPixelIsLightenedYetTheDarkestShows) {
    const auto backdrop = DarkRectanglePdf();
    const QImage buffer = Draw(*backdrop, TView());
    int darkest = 255;
    for (int y = 0; y < buffer.height(); ++y)
        for (int x = 0; x < buffer.width(); ++x) {
            const QRgb p = buffer.pixel(x, y);
            if (p == Untouched) continue;
            darkest = std::min({darkest, qRed(p), qGreen(p), qBlue(p)});
        }
    EXPECT_GE(darkest, BackdropDarkest);
    // Black on the page is the backdrop's darkest, not washed out to white.
    EXPECT_LE(darkest, BackdropDarkest + 2);
}

TEST(BackdropDrawing, RendersOnlyWhenZoomPageSheetOrRegionChange) {
    const auto backdrop = DarkRectanglePdf();
    TView view;
    const QImage first = Draw(*backdrop, view);
    EXPECT_EQ(backdrop->RenderCount(), 1);
    // Drawn again from the cache, into a fresh buffer, pixel for pixel.
    EXPECT_EQ(Draw(*backdrop, view), first);
    EXPECT_EQ(backdrop->RenderCount(), 1);

    view.Mapping.Zoom = 120;
    Draw(*backdrop, view);
    Draw(*backdrop, view);
    EXPECT_EQ(backdrop->RenderCount(), 2);
    view.Visible.translate(0, 40); // scrolled
    Draw(*backdrop, view);
    EXPECT_EQ(backdrop->RenderCount(), 3);
    view.SheetH = 200;
    Draw(*backdrop, view);
    EXPECT_EQ(backdrop->RenderCount(), 4);
    backdrop->SetPage(2);
    Draw(*backdrop, view);
    Draw(*backdrop, view);
    EXPECT_EQ(backdrop->RenderCount(), 5);
    // The page change showed the other page.
    ExpectWithinOnePixel(DarkBox(Draw(*backdrop, view)), view.Expected({10, 10, 20, 20}));
}

TEST(BackdropDrawing, AtZoom500OnlyTheVisibleRegionIsRendered) {
    const auto backdrop = DarkRectanglePdf();
    TView view;
    view.Mapping.Zoom = 500;
    // A window of 400 x 350 around the dark rectangle's top-left corner,
    // far into a preview of about 4000 x 5600 pixels.
    const QRect dark = view.Expected(DarkMm);
    view.Visible = QRect(dark.topLeft() - QPoint(150, 100), QSize(400, 350));
    const QImage buffer = Draw(*backdrop, view, view.Visible.topLeft(), view.Visible.size());
    EXPECT_EQ(backdrop->RenderCount(), 1);
    EXPECT_EQ(backdrop->Rendered().size(), view.Visible.size());
    EXPECT_EQ(backdrop->RenderedAt(), view.Visible.topLeft());
    const QRect box = DarkBox(buffer, view.Visible.topLeft());
    EXPECT_NEAR(box.left(), dark.left(), 1);
    EXPECT_NEAR(box.top(), dark.top(), 1);
    EXPECT_EQ(box.right(), view.Visible.right());
    EXPECT_EQ(box.bottom(), view.Visible.bottom());
}
