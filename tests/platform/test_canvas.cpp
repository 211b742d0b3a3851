// Pixel tests of the drawing conventions the windows rely on.
#include "platform/canvas.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>
#include <initializer_list>

using namespace mx;

namespace {

struct Surface {
    QImage image{40, 40, QImage::Format_RGB32};
    Surface() { image.fill(Qt::white); }
    TColor at(int x, int y) const { return FromQColor(QColor(image.pixel(x, y))); }
};

} // namespace

TEST(Canvas, RectangleCoversLeftToRightMinusOne) {
    Surface s;
    {
        TCanvas c(&s.image);
        c.Pen.Color = clBlack;
        c.SetBrushColor(clRed);
        c.SetBrushStyle(bsSolid);
        c.Rectangle(5, 6, 15, 16);
    }
    EXPECT_EQ(s.at(5, 6), clBlack);   // outline on the first column and row
    EXPECT_EQ(s.at(14, 15), clBlack); // and on the last ones inside
    EXPECT_EQ(s.at(15, 10), clWhite); // right coordinate not painted
    EXPECT_EQ(s.at(10, 16), clWhite); // bottom coordinate not painted
    EXPECT_EQ(s.at(6, 7), clRed);     // interior filled
    EXPECT_EQ(s.at(13, 14), clRed);
    EXPECT_EQ(s.at(4, 6), clWhite);
}

TEST(Canvas, LineLeavesOutEndPoint) {
    Surface s;
    {
        TCanvas c(&s.image);
        c.Pen.Color = clBlue;
        c.MoveTo(2, 3);
        c.LineTo(10, 3); // horizontal
        c.MoveTo(20, 10);
        c.LineTo(20, 2); // vertical, upwards
        c.MoveTo(0, 30);
        c.LineTo(5, 25); // diagonal
    }
    EXPECT_EQ(s.at(2, 3), clBlue);
    EXPECT_EQ(s.at(9, 3), clBlue);
    EXPECT_EQ(s.at(10, 3), clWhite);
    EXPECT_EQ(s.at(20, 10), clBlue);
    EXPECT_EQ(s.at(20, 3), clBlue);
    EXPECT_EQ(s.at(20, 2), clWhite);
    EXPECT_EQ(s.at(0, 30), clBlue);
    EXPECT_EQ(s.at(4, 26), clBlue);
    EXPECT_EQ(s.at(5, 25), clWhite);
}

TEST(Canvas, DottedLineGapsFollowBackgroundMode) {
    Surface s;
    s.image.fill(QColor(0, 255, 0));
    {
        TCanvas c(&s.image);
        c.Pen.Color = clBlack;
        c.Pen.Style = psDot;
        c.SetBrushColor(clWhite);
        c.SetBrushStyle(bsSolid); // opaque, background white
        c.MoveTo(0, 1);
        c.LineTo(10, 1);
        c.SetBrushStyle(bsCross); // transparent
        c.MoveTo(0, 3);
        c.LineTo(10, 3);
    }
    EXPECT_EQ(s.at(0, 1), clBlack);
    EXPECT_EQ(s.at(1, 1), clWhite);
    EXPECT_EQ(s.at(2, 1), clBlack);
    EXPECT_EQ(s.at(0, 3), clBlack);
    EXPECT_EQ(s.at(1, 3), clLime);
}

TEST(Canvas, HatchesRepeatEveryEightPixelsWithOpaqueOrTransparentGaps) {
    for (TBrushStyle style : {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross}) {
        Surface opaque, transparent;
        transparent.image.fill(QColor(0, 255, 0));
        for (Surface* s : {&opaque, &transparent}) {
            TCanvas c(&s->image);
            c.SetBrushColor(clYellow);
            c.SetBrushStyle(style);
            c.SetBkColor(clBlack);
            c.SetBkMode(s == &opaque ? OPAQUE : TRANSPARENT);
            c.FillRect({0, 0, 40, 40});
        }
        int lines = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool line = HatchBit(style, x, y);
                lines += line;
                EXPECT_EQ(opaque.at(x, y), line ? clYellow : clBlack) << style << " at " << x << "," << y;
                EXPECT_EQ(transparent.at(x, y), line ? clYellow : clLime) << style;
                EXPECT_EQ(HatchBit(style, x, y), HatchBit(style, x + 8, y + 8));
            }
        EXPECT_GT(lines, 0);
        EXPECT_LT(lines, 40 * 40);
    }
    // Rising and falling diagonals are really different directions.
    EXPECT_TRUE(HatchBit(bsBDiagonal, 7, 0));
    EXPECT_TRUE(HatchBit(bsBDiagonal, 0, 7));
    EXPECT_TRUE(HatchBit(bsFDiagonal, 0, 0));
    EXPECT_TRUE(HatchBit(bsFDiagonal, 7, 7));
}

TEST(Canvas, SolidBrushMakesBackgroundOpaqueInItsColour) {
    Surface s;
    TCanvas c(&s.image);
    c.SetBrushStyle(bsDiagCross);
    EXPECT_EQ(c.BkMode(), TRANSPARENT);
    c.SetBrushColor(clNavy);
    c.SetBrushStyle(bsSolid);
    EXPECT_EQ(c.BkMode(), OPAQUE);
    EXPECT_EQ(c.BkColor(), clNavy);
}

TEST(Canvas, TranslatedCanvasKeepsHatchAlignedToLogicalOrigin) {
    QImage a(16, 16, QImage::Format_RGB32), b(16, 16, QImage::Format_RGB32);
    {
        TCanvas c(&a);
        c.SetBrushColor(clBlack);
        c.SetBrushStyle(bsFDiagonal);
        c.SetBkColor(clWhite);
        c.SetBkMode(OPAQUE);
        c.FillRect({0, 0, 16, 16});
    }
    {
        TCanvas c(&b);
        c.Painter().translate(-3, -5); // a buffer showing box pixels from (3, 5)
        c.SetBrushColor(clBlack);
        c.SetBrushStyle(bsFDiagonal);
        c.SetBkColor(clWhite);
        c.SetBkMode(OPAQUE);
        c.FillRect({3, 5, 19, 21});
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(QColor(b.pixel(x, y)) == Qt::black, HatchBit(bsFDiagonal, x + 3, y + 5));
}

// Image canvases set hatch pixels themselves; a pixmap goes through Qt's
// own fill. Translated and clipped, both must give the same pixels.
TEST(Canvas, HatchOnImageMatchesQtFillUnderTranslationAndClip) {
    for (TBrushStyle style : {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross}) {
        QImage image(37, 29, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPixmap pixmap(37, 29);
        pixmap.fill(Qt::white);
        for (QPaintDevice* device : std::initializer_list<QPaintDevice*>{&image, &pixmap}) {
            TCanvas c(device);
            c.Painter().translate(-13, -5);
            c.SetClipRect(QRect(15, 7, 25, 20));
            c.SetBrushColor(clNavy);
            c.SetBrushStyle(style);
            c.FillRect({3, 2, 60, 40});
        }
        EXPECT_EQ(image, pixmap.toImage().convertToFormat(QImage::Format_RGB32)) << style;
    }
}

TEST(Canvas, DrawTextMeasuresAndHidesMnemonicMarker) {
    QImage img(200, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    TCanvas c(&img);
    c.Font = QFont("Liberation Sans");
    c.Font.setPixelSize(11);
    TRect withAmp{0, 0, 200, 0}, plain{0, 0, 200, 0};
    c.DrawText("&Datei", withAmp, DT_CALCRECT | DT_SINGLELINE);
    c.DrawText("Datei", plain, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(withAmp.Width(), plain.Width());
    TRect noPrefix{0, 0, 200, 0};
    c.DrawText("&Datei", noPrefix, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_GT(noPrefix.Width(), plain.Width());
    EXPECT_GT(plain.Height(), 8);
}
