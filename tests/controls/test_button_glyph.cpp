#include "controls/button_glyph.h"
#include "platform/exception.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <gtest/gtest.h>
#include <memory>

using namespace mx;

namespace {

QRgb rgbOf(TColor c) { return ToQColor(c).rgb(); }

// A strip of n square images of side s; image i is filled with colours[i]
// on an olive border row (the bottom row, so the transparent colour is olive).
QImage strip(int n, int s, std::initializer_list<QRgb> colours) {
    QImage img(n * s, s, QImage::Format_RGB32);
    img.fill(qRgb(128, 128, 0));
    int i = 0;
    for (QRgb c : colours) {
        for (int y = 0; y < s - 1; ++y)
            for (int x = 1; x < s - 1; ++x) img.setPixel(i * s + x, y, c);
        ++i;
    }
    return img;
}

QImage blank(int w, int h, QRgb fill = qRgb(255, 0, 255)) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

} // namespace

TEST(ButtonGlyph, StripDecidesTheNumberOfImages) {
    TButtonGlyph g;
    int changes = 0;
    g.OnChange = [&] { ++changes; };

    g.SetGlyph(blank(36, 18));
    EXPECT_EQ(g.NumGlyphs(), 2);
    EXPECT_GT(changes, 0);

    g.SetNumGlyphs(3);
    g.SetGlyph(blank(90, 18)); // five squares are one image
    EXPECT_EQ(g.NumGlyphs(), 1);

    g.SetNumGlyphs(3);
    g.SetGlyph(blank(36, 19)); // not a multiple: the number stays
    EXPECT_EQ(g.NumGlyphs(), 3);

    changes = 0;
    g.SetNumGlyphs(0);
    g.SetNumGlyphs(3);
    EXPECT_EQ(g.NumGlyphs(), 3);
    EXPECT_EQ(changes, 0);
    g.SetNumGlyphs(2);
    EXPECT_EQ(changes, 1);
}

TEST(ButtonGlyph, TransparentColourIsTheBottomLeftPixel) {
    TButtonGlyph g;
    EXPECT_EQ(g.TransparentColor(), clOlive);
    QImage img = blank(16, 16, qRgb(10, 20, 30));
    img.setPixel(0, 15, qRgb(128, 0, 128));
    g.SetGlyph(img);
    EXPECT_EQ(g.TransparentColor(), clPurple);
}

TEST(ButtonGlyph, DownStateUsesTheUpImageUnlessTheStripHasThree) {
    TButtonGlyph two;
    two.SetGlyph(strip(2, 8, {qRgb(255, 0, 0), qRgb(0, 0, 255)}));
    EXPECT_EQ(two.BuildStateImage(bsDown), two.BuildStateImage(bsUp));

    TButtonGlyph three;
    three.SetGlyph(strip(3, 8, {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0)}));
    const int down = three.BuildStateImage(bsDown);
    EXPECT_NE(down, three.BuildStateImage(bsUp));
    EXPECT_EQ(three.ImageList()->Image(down).pixel(3, 3), qRgb(0, 255, 0));
    // The olive bottom row is the mask.
    EXPECT_EQ(qAlpha(three.ImageList()->Image(down).pixel(3, 7)), 0);
}

TEST(ButtonGlyph, ExclusiveStateFallsBackToImageZero) {
    TButtonGlyph g;
    g.SetGlyph(strip(2, 8, {qRgb(255, 0, 0), qRgb(0, 0, 255)}));
    const int index = g.BuildStateImage(bsExclusive);
    ASSERT_NE(g.ImageList(), nullptr);
    EXPECT_EQ(g.ImageList()->Image(index).pixel(3, 3), qRgb(255, 0, 0));
}

TEST(ButtonGlyph, DisabledImageOneTakesSystemColoursTestedOnTheStrip) {
    // Highlight is made grey here: a white pixel turned grey must not then
    // be taken for a grey one.
    const QPalette saved = QApplication::palette();
    QPalette pal = saved;
    pal.setColor(QPalette::Light, QColor(128, 128, 128));
    pal.setColor(QPalette::Mid, QColor(40, 40, 40));
    pal.setColor(QPalette::Button, QColor(200, 210, 220));
    QApplication::setPalette(pal);

    QImage img = blank(16, 8, qRgb(128, 128, 0));
    img.setPixel(8 + 2, 2, qRgb(255, 255, 255));
    img.setPixel(8 + 3, 2, qRgb(128, 128, 128));
    img.setPixel(8 + 4, 2, qRgb(255, 0, 0));
    TButtonGlyph g;
    g.SetGlyph(img);
    ASSERT_EQ(g.NumGlyphs(), 2);
    const int index = g.BuildStateImage(bsDisabled);
    const QImage out = g.ImageList()->Image(index);
    QApplication::setPalette(saved);

    EXPECT_EQ(out.pixel(2, 2), qRgb(128, 128, 128));
    EXPECT_EQ(out.pixel(3, 2), qRgb(40, 40, 40));
    EXPECT_EQ(out.pixel(4, 2), qRgb(255, 0, 0));
    // The olive became the face colour, the bottom-left one, so it is masked.
    EXPECT_EQ(qAlpha(out.pixel(0, 0)), 0);
}

TEST(ButtonGlyph, DisabledSingleImageEtchesTheBlackPixels) {
    QImage img = blank(8, 8, qRgb(128, 128, 0));
    img.setPixel(3, 3, qRgb(0, 0, 0));
    img.setPixel(5, 2, qRgb(255, 0, 0)); // not black: gone
    TButtonGlyph g;
    g.SetGlyph(img);
    ASSERT_EQ(g.NumGlyphs(), 1);
    const int index = g.BuildStateImage(bsDisabled);
    const QImage out = g.ImageList()->Image(index);
    EXPECT_EQ(out.pixel(3, 3), rgbOf(clBtnShadow));
    EXPECT_EQ(out.pixel(4, 4), rgbOf(clBtnHighlight));
    EXPECT_EQ(qAlpha(out.pixel(5, 2)), 0);
    EXPECT_EQ(qAlpha(out.pixel(0, 0)), 0);
}

TEST(ButtonGlyph, NoStripNoImage) {
    TButtonGlyph g;
    EXPECT_EQ(g.BuildStateImage(bsUp), -1);
    EXPECT_EQ(g.ImageList(), nullptr);
}

TEST(GlyphCache, SameSizeSharesOneListAndTheLastUserReleasesIt) {
    ASSERT_EQ(GlyphCache(), nullptr) << "a glyph outlived an earlier test";
    auto a = std::make_unique<TButtonGlyph>();
    auto b = std::make_unique<TButtonGlyph>();
    ASSERT_NE(GlyphCache(), nullptr);
    a->SetGlyph(strip(2, 18, {qRgb(255, 0, 0), qRgb(0, 0, 255)}));
    b->SetGlyph(strip(1, 18, {qRgb(0, 255, 0)}));
    a->BuildStateImage(bsUp);
    b->BuildStateImage(bsUp);
    EXPECT_EQ(a->ImageList(), b->ImageList());
    EXPECT_EQ(GlyphCache()->ListCount(), 1);
    TGlyphList* list = a->ImageList();
    EXPECT_EQ(list->UsedCount(), 2);

    // A freed slot is taken again rather than growing the list.
    a->SetGlyph(strip(2, 18, {qRgb(1, 2, 3), qRgb(4, 5, 6)}));
    EXPECT_EQ(list->UsedCount(), 1);
    a->BuildStateImage(bsUp);
    EXPECT_EQ(list->SlotCount(), 2);

    // Another size, another list.
    auto c = std::make_unique<TButtonGlyph>();
    c->SetGlyph(strip(1, 16, {qRgb(9, 9, 9)}));
    c->BuildStateImage(bsUp);
    EXPECT_EQ(GlyphCache()->ListCount(), 2);
    c.reset();
    EXPECT_EQ(GlyphCache()->ListCount(), 1);

    a.reset();
    ASSERT_NE(GlyphCache(), nullptr);
    EXPECT_EQ(GlyphCache()->ListCount(), 1);
    b.reset();
    EXPECT_EQ(GlyphCache(), nullptr);
}

TEST(GlyphList, RejectsAnImageOfAnotherSize) {
    TGlyphList list(16, 16);
    try {
        list.AddImage(blank(18, 18), clOlive);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Bild kann nicht ersetzt werden");
    }
    EXPECT_EQ(list.UsedCount(), 0);
    list.FreeSlot(0); // never used: nothing happens
    EXPECT_EQ(list.UsedCount(), 0);
}

class ContentLayout : public ::testing::Test {
protected:
    QImage surface = blank(200, 60);
    TCanvas canvas{&surface};
    TButtonGlyph glyph;
    const TRect client{10, 5, 190, 55}; // 180 x 50
    const QString caption = QStringLiteral("Drucken");

    void SetUp() override {
        QFont f("Liberation Sans");
        f.setPixelSize(11);
        canvas.Font = f;
        glyph.SetGlyph(strip(2, 18, {qRgb(255, 0, 0), qRgb(0, 0, 255)}));
    }
    TContentLayout lay(TButtonLayout l, int margin, int spacing, unsigned flags = 0, const QString* text = nullptr) {
        return glyph.LayOutContent(canvas, client, text ? *text : caption, l, margin, spacing, flags);
    }
};

TEST_F(ContentLayout, DefaultMarginCentresGlyphSpacingAndCaption) {
    const auto r = lay(blGlyphLeft, -1, 4);
    const int tw = r.TextBounds.Width(), th = r.TextBounds.Height();
    ASSERT_GT(tw, 0);
    const int m = (180 - (18 + 4 + tw) + 1) / 2;
    EXPECT_EQ(r.GlyphPos, QPoint(10 + m, 5 + (50 - 18 + 1) / 2));
    EXPECT_EQ(r.TextBounds.Left, 10 + m + 18 + 4);
    EXPECT_EQ(r.TextBounds.Top, 5 + (50 - th + 1) / 2);

    const auto right = lay(blGlyphRight, -1, 4);
    EXPECT_EQ(right.GlyphPos.x(), 10 + 180 - m - 18);
    EXPECT_EQ(right.TextBounds.Left, right.GlyphPos.x() - 4 - tw);
}

TEST_F(ContentLayout, BothComputedSplitTheFreeSpaceInThree) {
    const auto r = lay(blGlyphLeft, -1, -1);
    const int tw = r.TextBounds.Width();
    const int third = (180 - (18 + tw)) / 3;
    EXPECT_EQ(r.GlyphPos.x(), 10 + third);
    EXPECT_EQ(r.TextBounds.Left, 10 + third + 18 + third);
    // The remainder lies behind the caption.
    EXPECT_GE(190 - r.TextBounds.Right, third);

    const auto top = lay(blGlyphTop, -1, -1);
    const int th = top.TextBounds.Height();
    const int vthird = (50 - (18 + th)) / 3;
    EXPECT_EQ(top.GlyphPos, QPoint(10 + (180 - 18 + 1) / 2, 5 + vthird));
    EXPECT_EQ(top.TextBounds.Top, 5 + vthird + 18 + vthird);
    EXPECT_EQ(top.TextBounds.Left, 10 + (180 - top.TextBounds.Width() + 1) / 2);
}

TEST_F(ContentLayout, FixedMarginComputedSpacing) {
    const auto bottom = lay(blGlyphBottom, 2, -1);
    const int th = bottom.TextBounds.Height();
    const int s = ((50 - (2 + 18)) - th) / 2;
    EXPECT_EQ(bottom.GlyphPos.y(), 5 + 50 - 2 - 18);
    EXPECT_EQ(bottom.TextBounds.Top, bottom.GlyphPos.y() - s - th);
}

TEST_F(ContentLayout, AMissingPartCentresTheOther) {
    const QString none;
    const auto glyphOnly = lay(blGlyphLeft, -1, 4, 0, &none);
    EXPECT_EQ(glyphOnly.GlyphPos.x(), 10 + (180 - 18 + 1) / 2);

    TButtonGlyph empty;
    const auto textOnly = empty.LayOutContent(canvas, client, caption, blGlyphTop, -1, 4, 0);
    EXPECT_EQ(textOnly.TextBounds.Top, 5 + (50 - textOnly.TextBounds.Height() + 1) / 2);
}

TEST_F(ContentLayout, RightToLeftSwapsLeftAndRight) {
    const auto rtl = lay(blGlyphLeft, 3, 4, DT_RIGHT | DT_RTLREADING);
    EXPECT_EQ(rtl.GlyphPos.x(), 10 + 180 - 3 - 18);
    const auto rtlRight = lay(blGlyphRight, 3, 4, DT_RIGHT | DT_RTLREADING);
    EXPECT_EQ(rtlRight.GlyphPos.x(), 10 + 3);
}

TEST_F(ContentLayout, PaintingLeavesTheBackgroundAlone) {
    const QRgb face = qRgb(255, 0, 255);
    glyph.PaintContent(canvas, client, QString(), blGlyphLeft, 0, 4, bsUp, 0);
    canvas.Painter().end();
    const int gy = 5 + (50 - 18 + 1) / 2;
    EXPECT_EQ(surface.pixel(10 + 3, gy + 3), qRgb(255, 0, 0));
    EXPECT_EQ(surface.pixel(10, gy + 3), face) << "the glyph's olive column is transparent";
    EXPECT_EQ(surface.pixel(10 + 3, gy + 17), face);
    EXPECT_EQ(surface.pixel(100, 30), face);
}

TEST(CaptionText, DisabledCaptionIsEtchedAndAmpersandUnderlines) {
    auto paint = [](const QString& text, TButtonState state) {
        QImage img = blank(80, 30, qRgb(255, 0, 255));
        {
            TCanvas c(&img);
            QFont f("Liberation Sans");
            f.setPixelSize(14);
            c.Font = f;
            c.FontColor = clBlack;
            TButtonGlyph g;
            g.PaintCaptionText(c, text, TRect{0, 0, 80, 30}, state, 0);
        }
        return img;
    };
    auto count = [](const QImage& img, QRgb colour) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
        return n;
    };
    const QImage disabled = paint("Hilfe", bsDisabled);
    EXPECT_GT(count(disabled, rgbOf(clBtnShadow)), 10);
    EXPECT_GT(count(disabled, rgbOf(clBtnHighlight)), 5);
    EXPECT_EQ(count(disabled, qRgb(0, 0, 0)), 0);

    const QImage enabled = paint("Hilfe", bsUp);
    EXPECT_GT(count(enabled, qRgb(0, 0, 0)), 10);
    EXPECT_EQ(count(enabled, rgbOf(clBtnShadow)), 0);

    // "&H" shows H underlined, not the ampersand.
    const QImage plain = paint("H", bsUp), marked = paint("&H", bsUp);
    EXPECT_GT(count(marked, qRgb(0, 0, 0)), count(plain, qRgb(0, 0, 0)));
    const QImage ampersand = paint("&&", bsUp);
    EXPECT_GT(count(ampersand, qRgb(0, 0, 0)), 0);
}
