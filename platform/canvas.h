#pragma once
// A drawing surface with the conventions of the classic Windows drawing
// layer: rectangles cover columns left..right-1 and rows top..bottom-1, lines
// leave out their end point, hatches repeat every 8 device pixels and their
// gaps are painted in the background colour only in opaque mode.
// One implementation over QPainter (no anti-aliasing) serves screen buffers,
// off-screen bitmaps and printer pages alike.
#include "platform/colors.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

class QPainter;
class QPaintDevice;
class QImage;

namespace mx {

enum TPenStyle { psSolid, psDot, psClear };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TBkMode { TRANSPARENT = 1, OPAQUE = 2 };

// DrawText format flags.
enum : unsigned {
    DT_LEFT = 0x0,
    DT_TOP = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_RTLREADING = 0x20000,
};

// DrawFrameControl flags for push buttons.
enum : unsigned {
    DFC_BUTTON = 4,
    DFCS_BUTTONPUSH = 0x10,
    DFCS_INACTIVE = 0x100,
    DFCS_PUSHED = 0x200,
    DFCS_ADJUSTRECT = 0x2000,
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Windows rectangle: right and bottom are exclusive.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    bool operator==(const TRect&) const = default;
};

class TCanvas {
public:
    // Paints on the device for the canvas's lifetime.
    explicit TCanvas(QPaintDevice* device);
    // Paints through a painter that someone else owns.
    explicit TCanvas(QPainter* painter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    QFont Font;
    TColor FontColor = clWindowText;

    const TBrush& Brush() const { return brush_; }
    // Realising a brush also sets the background the way the classic canvas
    // does: a solid brush paints opaquely in its own colour, any other
    // brush leaves the background transparent.
    void SetBrushColor(TColor c);
    void SetBrushStyle(TBrushStyle s);

    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor c) { bkColor_ = c; }
    TBkMode BkMode() const { return bkMode_; }
    void SetBkMode(TBkMode m) { bkMode_ = m; }

    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    QPoint PenPos() const { return penPos_; }

    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    // Returns the height of the drawn (or, with DT_CALCRECT, measured) text;
    // with DT_CALCRECT the rectangle is set to the text's extent.
    int DrawText(const QString& text, TRect& rect, unsigned format);

    void Draw(int x, int y, const QImage& image);
    void StretchDraw(const TRect& r, const QImage& image);
    void DrawFocusRect(const TRect& r);
    // The classic three-dimensional push-button frame; with DFCS_ADJUSTRECT
    // the rectangle is shrunk to the inside of the frame.
    void DrawFrameControl(TRect& r, unsigned type, unsigned state);

    void SetPixel(int x, int y, TColor c);

    // Limits all drawing to r (device-independent coordinates).
    void SetClipRect(const QRect& r);
    QPainter& Painter() { return *painter_; }

private:
    void FillWithBrush(const QRect& r);
    void PlotLine(int x0, int y0, int x1, int y1);
    QRect ClipBounds() const;

    std::unique_ptr<QPainter> owned_;
    QPainter* painter_;
    TBrush brush_;
    TColor bkColor_ = clWhite;
    TBkMode bkMode_ = OPAQUE;
    QPoint penPos_;
    QRect clip_;
};

// The 8 x 8 hatch cell of a brush style: true where the line runs.
bool HatchBit(TBrushStyle style, int x, int y);

} // namespace mx
