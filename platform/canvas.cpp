#include "platform/canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QVector>
#include <algorithm>

namespace mx {

bool HatchBit(TBrushStyle style, int x, int y) {
    x = ((x % 8) + 8) % 8;
    y = ((y % 8) + 8) % 8;
    switch (style) {
    case bsHorizontal: return y == 0;
    case bsVertical: return x == 0;
    case bsFDiagonal: return x == y;
    case bsBDiagonal: return x + y == 7;
    case bsCross: return x == 0 || y == 0;
    case bsDiagCross: return x == y || x + y == 7;
    default: return false;
    }
}

namespace {

QImage HatchTile(TBrushStyle style, const QColor& color) {
    QImage tile(8, 8, QImage::Format_ARGB32);
    tile.fill(Qt::transparent);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (HatchBit(style, x, y)) tile.setPixelColor(x, y, color);
    return tile;
}

// Sets the hatch's pixels directly when the canvas is an image seen through
// a plain translation: Qt's tiled fill hands large areas to its thread pool
// and waits for it, which stalls a preview drag on a busy machine. False
// when the painter's state needs Qt's own fill.
bool PlotHatchOnImage(QPainter& painter, TBrushStyle style, const QColor& color, const QRect& r, const QRect& clip) {
    if (painter.device()->devType() != QInternal::Image) return false;
    auto* image = static_cast<QImage*>(painter.device());
    const QImage::Format format = image->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != int(t.dx()) || t.dy() != int(t.dy())) return false;
    if (painter.opacity() != 1.0 || painter.compositionMode() != QPainter::CompositionMode_SourceOver) return false;
    if (painter.hasClipping() && (clip.isNull() || painter.clipRegion() != QRegion(clip))) return false;
    const int dx = int(t.dx()), dy = int(t.dy());
    const QRect target = r.translated(dx, dy) & image->rect();
    if (target.isEmpty()) return true;
    const QRgb pixel = color.rgba();
    for (int y = target.top(); y <= target.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image->scanLine(y));
        const int firstX = target.left() - dx;
        for (int column = 0; column < 8; ++column) {
            if (!HatchBit(style, column, y - dy)) continue;
            for (int x = firstX + (((column - firstX) % 8) + 8) % 8; x + dx <= target.right(); x += 8)
                line[x + dx] = pixel;
        }
    }
    return true;
}

// On a PDF page (the printer's output) a hatch is Qt's own pattern brush,
// written as a vector tiling pattern in the fill colour: small files, and
// no lossy image between the colour chosen and the colour printed. Qt draws
// a cell's lines as strokes one unit wide, the axis lines centred on cell
// coordinate 4 and the diagonals through the cell's corners. The brush
// origins below put them on HatchBit's phase as ghostscript (what the
// print filters use) rasterises them at the device resolution: an axis
// stroke centred on a whole device coordinate fills that pixel's row or
// column, a diagonal stroke fills the pixels whose centres it runs through.
// The real-output tests of the printer hold this to every pixel.
bool FillPdfHatch(QPainter& painter, TBrushStyle style, const QColor& color, const QRect& r) {
    if (!painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::Pdf) return false;
    const QPoint axisOrigin(4, 4), diagonalOrigin(4, 0);
    Qt::BrushStyle pattern = Qt::NoBrush;
    switch (style) {
    case bsHorizontal: pattern = Qt::HorPattern; break;
    case bsVertical: pattern = Qt::VerPattern; break;
    case bsCross: pattern = Qt::CrossPattern; break;
    case bsBDiagonal: pattern = Qt::BDiagPattern; break;
    case bsFDiagonal: pattern = Qt::FDiagPattern; break;
    case bsDiagCross: pattern = Qt::DiagCrossPattern; break;
    default: return false;
    }
    const bool axis = style == bsHorizontal || style == bsVertical || style == bsCross;
    const QPointF saved = painter.brushOrigin();
    // Qt places a PDF pattern in the page's own coordinates, without the
    // painter's transform: the page canvas's origin is added here.
    const QPointF pageOrigin(painter.worldTransform().dx(), painter.worldTransform().dy());
    painter.setBrushOrigin(pageOrigin + (axis ? axisOrigin : diagonalOrigin));
    painter.fillRect(r, QBrush(color, pattern));
    painter.setBrushOrigin(saved);
    return true;
}

int QtTextFlags(unsigned format) {
    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & DT_VCENTER)
        flags |= Qt::AlignVCenter;
    else if (format & DT_BOTTOM)
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    if (format & DT_SINGLELINE) flags |= Qt::TextSingleLine;
    if (format & DT_EXPANDTABS) flags |= Qt::TextExpandTabs;
    if (format & DT_NOCLIP) flags |= Qt::TextDontClip;
    if (!(format & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;
    return flags;
}

} // namespace

TCanvas::TCanvas(QPaintDevice* device) : owned_(std::make_unique<QPainter>(device)), painter_(owned_.get()) {
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
}

TCanvas::TCanvas(QPainter* painter) : painter_(painter) { painter_->setRenderHint(QPainter::Antialiasing, false); }

TCanvas::~TCanvas() = default;

void TCanvas::SetBrushColor(TColor c) {
    brush_.Color = c;
    if (brush_.Style == bsSolid) bkColor_ = c;
}

void TCanvas::SetBrushStyle(TBrushStyle s) {
    brush_.Style = s;
    if (s == bsSolid) {
        bkColor_ = brush_.Color;
        bkMode_ = OPAQUE;
    } else {
        bkMode_ = TRANSPARENT;
    }
}

void TCanvas::SetClipRect(const QRect& r) {
    clip_ = r;
    painter_->setClipRect(r);
}

QRect TCanvas::ClipBounds() const {
    const QPaintDevice* dev = painter_->device();
    QRect bounds = painter_->worldTransform().inverted().mapRect(QRect(0, 0, dev->width(), dev->height()));
    if (!clip_.isNull()) bounds &= clip_;
    return bounds;
}

void TCanvas::FillWithBrush(const QRect& r) {
    if (r.isEmpty()) return;
    switch (brush_.Style) {
    case bsClear: return;
    case bsSolid: painter_->fillRect(r, ToQColor(brush_.Color)); return;
    default:
        if (bkMode_ == OPAQUE) painter_->fillRect(r, ToQColor(bkColor_));
        if (PlotHatchOnImage(*painter_, brush_.Style, ToQColor(brush_.Color), r, clip_)) return;
        if (FillPdfHatch(*painter_, brush_.Style, ToQColor(brush_.Color), r)) return;
        painter_->setBrushOrigin(0, 0);
        painter_->fillRect(r, QBrush(HatchTile(brush_.Style, ToQColor(brush_.Color))));
    }
}

void TCanvas::FillRect(const TRect& r) { FillWithBrush(r.ToQRect().normalized() & ClipBounds()); }

void TCanvas::FrameRect(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const QColor c = ToQColor(brush_.Color);
    painter_->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    painter_->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    painter_->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    painter_->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (Pen.Style == psClear) {
        // Without an outline the classic canvas fills one pixel less.
        FillWithBrush(QRect(left, top, right - left - 1, bottom - top - 1) & ClipBounds());
        return;
    }
    if (right - left <= 0 || bottom - top <= 0) return;
    FillWithBrush(QRect(left + 1, top + 1, right - left - 2, bottom - top - 2) & ClipBounds());
    PlotLine(left, top, right, top);
    PlotLine(right - 1, top, right - 1, bottom);
    PlotLine(right - 1, bottom - 1, left - 1, bottom - 1);
    PlotLine(left, bottom - 1, left, top - 1);
}

void TCanvas::MoveTo(int x, int y) { penPos_ = QPoint(x, y); }

void TCanvas::LineTo(int x, int y) {
    PlotLine(penPos_.x(), penPos_.y(), x, y);
    penPos_ = QPoint(x, y);
}

// Pixels from (x0, y0) towards (x1, y1), the end point left out. Dotted
// pens alternate one pixel of pen colour and one of background.
void TCanvas::PlotLine(int x0, int y0, int x1, int y1) {
    if (Pen.Style == psClear || (x0 == x1 && y0 == y1)) return;
    const QColor fg = ToQColor(Pen.Color);
    const QRect clip = ClipBounds();
    const bool dotted = Pen.Style == psDot;
    const bool opaque = bkMode_ == OPAQUE;

    if (y0 == y1 || x0 == x1) {
        const bool horizontal = y0 == y1;
        const int from = horizontal ? x0 : y0;
        const int to = horizontal ? x1 : y1;
        const int step = to > from ? 1 : -1;
        // Pixels from..to-step inclusive; limit to the clip for long lines.
        int lo = std::min(from, to - step), hi = std::max(from, to - step);
        const int fixed = horizontal ? y0 : x0;
        const int clipLo = horizontal ? clip.left() : clip.top();
        const int clipHi = horizontal ? clip.right() : clip.bottom();
        const int fixedLo = horizontal ? clip.top() : clip.left();
        const int fixedHi = horizontal ? clip.bottom() : clip.right();
        if (fixed < fixedLo || fixed > fixedHi) return;
        lo = std::max(lo, clipLo);
        hi = std::min(hi, clipHi);
        if (lo > hi) return;
        if (!dotted) {
            painter_->fillRect(horizontal ? QRect(lo, fixed, hi - lo + 1, 1) : QRect(fixed, lo, 1, hi - lo + 1), fg);
            return;
        }
        QVector<QPoint> on, off;
        on.reserve((hi - lo) / 2 + 2);
        for (int v = lo; v <= hi; ++v) {
            const bool isOn = ((v - from) & 1) == 0;
            if (!isOn && !opaque) continue;
            (isOn ? on : off).append(horizontal ? QPoint(v, fixed) : QPoint(fixed, v));
        }
        painter_->setPen(QPen(fg, 0));
        painter_->drawPoints(on.constData(), int(on.size()));
        if (!off.isEmpty()) {
            painter_->setPen(QPen(ToQColor(bkColor_), 0));
            painter_->drawPoints(off.constData(), int(off.size()));
        }
        return;
    }

    QVector<QPoint> on, off;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy, x = x0, y = y0, index = 0;
    while (!(x == x1 && y == y1)) {
        const bool isOn = !dotted || (index & 1) == 0;
        if (isOn)
            on.append(QPoint(x, y));
        else if (opaque)
            off.append(QPoint(x, y));
        ++index;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    painter_->setPen(QPen(fg, 0));
    painter_->drawPoints(on.constData(), int(on.size()));
    if (!off.isEmpty()) {
        painter_->setPen(QPen(ToQColor(bkColor_), 0));
        painter_->drawPoints(off.constData(), int(off.size()));
    }
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    painter_->setFont(Font);
    const QFontMetrics fm(Font, painter_->device());
    if (bkMode_ == OPAQUE) painter_->fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), ToQColor(bkColor_));
    painter_->setPen(ToQColor(FontColor));
    painter_->drawText(QPoint(x, y + fm.ascent()), text);
}

int TCanvas::TextWidth(const QString& text) { return QFontMetrics(Font, painter_->device()).horizontalAdvance(text); }

int TCanvas::TextHeight(const QString& text) { return QFontMetrics(Font, painter_->device()).height(); }

int TCanvas::DrawText(const QString& text, TRect& rect, unsigned format) {
    painter_->setFont(Font);
    const int flags = QtTextFlags(format);
    const QFontMetrics fm(Font, painter_->device());
    if (format & DT_CALCRECT) {
        const int width = (format & DT_WORDBREAK) ? std::max(rect.Width(), 1) : 1 << 20;
        const QRect measured =
            fm.boundingRect(QRect(rect.Left, rect.Top, width, 1 << 20),
                            flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom), text);
        rect.Right = rect.Left + (text.isEmpty() ? 0 : measured.width());
        rect.Bottom = rect.Top + (text.isEmpty() ? fm.height() : measured.height());
        return rect.Height();
    }
    const QRect target = rect.ToQRect();
    if (bkMode_ == OPAQUE) painter_->fillRect(fm.boundingRect(target, flags, text) & target, ToQColor(bkColor_));
    painter_->setPen(ToQColor(FontColor));
    QRect bounding;
    painter_->drawText(target, flags, text, &bounding);
    return bounding.height();
}

void TCanvas::Draw(int x, int y, const QImage& image) { painter_->drawImage(QPoint(x, y), image); }

void TCanvas::StretchDraw(const TRect& r, const QImage& image) {
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_->drawImage(r.ToQRect(), image);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    QVector<QPoint> dots;
    for (int x = r.Left; x < r.Right; x += 2) {
        dots.append(QPoint(x, r.Top));
        dots.append(QPoint(x, r.Bottom - 1));
    }
    for (int y = r.Top + 2; y < r.Bottom - 1; y += 2) {
        dots.append(QPoint(r.Left, y));
        dots.append(QPoint(r.Right - 1, y));
    }
    const auto mode = painter_->compositionMode();
    painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter_->setPen(QPen(Qt::white, 0));
    painter_->drawPoints(dots.constData(), int(dots.size()));
    painter_->setCompositionMode(mode);
}

void TCanvas::DrawFrameControl(TRect& r, unsigned type, unsigned state) {
    if (type != DFC_BUTTON || r.Width() <= 0 || r.Height() <= 0) return;
    const bool pushed = state & DFCS_PUSHED;
    const QColor outerLight = ToQColor(pushed ? cl3DDkShadow : clBtnHighlight);
    const QColor outerDark = ToQColor(pushed ? clBtnHighlight : cl3DDkShadow);
    const QColor innerLight = ToQColor(pushed ? clBtnShadow : MakeSysColor(COLOR_3DLIGHT));
    const QColor innerDark = ToQColor(pushed ? MakeSysColor(COLOR_3DLIGHT) : clBtnShadow);
    auto frame = [this](const QRect& q, const QColor& light, const QColor& dark) {
        painter_->fillRect(QRect(q.left(), q.top(), q.width(), 1), light);
        painter_->fillRect(QRect(q.left(), q.top(), 1, q.height()), light);
        painter_->fillRect(QRect(q.left(), q.bottom(), q.width(), 1), dark);
        painter_->fillRect(QRect(q.right(), q.top(), 1, q.height()), dark);
    };
    QRect q = r.ToQRect();
    painter_->fillRect(q, ToQColor(clBtnFace));
    frame(q, outerLight, outerDark);
    frame(q.adjusted(1, 1, -1, -1), innerLight, innerDark);
    if (state & DFCS_ADJUSTRECT) r = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
}

void TCanvas::SetPixel(int x, int y, TColor c) { painter_->fillRect(QRect(x, y, 1, 1), ToQColor(c)); }

} // namespace mx
