#include "platform/panel.h"

#include "platform/canvas.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>

namespace mx {

namespace {

// Draws a bevel of the given width inside r and shrinks r by it.
void DrawBevel(QPainter& p, QRect& r, TBevelCut cut, int width) {
    if (cut == bvNone) return;
    const QColor light = ToQColor(cut == bvRaised ? clBtnHighlight : clBtnShadow);
    const QColor dark = ToQColor(cut == bvRaised ? clBtnShadow : clBtnHighlight);
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), light);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), light);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), dark);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), dark);
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    ApplyColor();
    FrameChanged();
}

void TPanel::setBevelInner(TBevelCut value) {
    if (value == bevelInner_) return;
    bevelInner_ = value;
    FrameChanged();
}

void TPanel::setBevelOuter(TBevelCut value) {
    if (value == bevelOuter_) return;
    bevelOuter_ = value;
    FrameChanged();
}

void TPanel::setBevelWidth(int value) {
    value = std::max(1, value);
    if (value == bevelWidth_) return;
    bevelWidth_ = value;
    FrameChanged();
}

void TPanel::setBorderWidth(int value) {
    value = std::max(0, value);
    if (value == borderWidth_) return;
    borderWidth_ = value;
    FrameChanged();
}

void TPanel::setColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    ApplyColor();
    update();
}

void TPanel::ApplyColor() {
    // Children that paint "the parent's colour" read it from the palette.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(color_));
    setPalette(pal);
}

void TPanel::setCaption(const QString& value) {
    if (value == caption_) return;
    caption_ = value;
    update();
}

int TPanel::FrameWidth() const {
    return (bevelOuter_ != bvNone ? bevelWidth_ : 0) + borderWidth_ + (bevelInner_ != bvNone ? bevelWidth_ : 0);
}

void TPanel::FrameChanged() {
    const int w = FrameWidth();
    setContentsMargins(w, w, w, w);
    update();
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // System colours are resolved at paint time, so a palette change shows.
    p.fillRect(rect(), ToQColor(color_));
    QRect r = rect();
    DrawBevel(p, r, bevelOuter_, bevelWidth_);
    r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    DrawBevel(p, r, bevelInner_, bevelWidth_);
    if (caption_.isEmpty()) return;
    TCanvas canvas(&p);
    canvas.Font = font();
    canvas.FontColor = FromQColor(palette().color(QPalette::WindowText));
    canvas.SetBrushStyle(bsClear);
    TRect textRect = TRect::FromQRect(r);
    canvas.DrawText(caption_, textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

} // namespace mx
