#include "platform/status_bar.h"

#include <QSizeGrip>

namespace mx {

TStatusBar::TStatusBar(QWidget* parent) : TPaintBox(parent), grip_(new QSizeGrip(this)) {
    OnPaint = [this](TPaintBox*) { PaintBar(); };
}

void TStatusBar::SetFirstPanelWidth(int width) {
    firstPanelWidth_ = width;
    update();
}

TRect TStatusBar::PanelRect(int panel) const {
    // Panels are framed one pixel inside, two pixels apart.
    const int top = 2, bottom = height();
    if (panel == 0) return {0 + 1, top + 1, firstPanelWidth_ - 1, bottom - 1};
    return {firstPanelWidth_ + 2 + 1, top + 1, width() - 1, bottom - 1};
}

void TStatusBar::PaintBar() {
    TCanvas& c = Canvas();
    c.Pen.Style = psClear;
    c.SetBrushColor(clBtnFace);
    c.SetBrushStyle(bsSolid);
    c.FillRect({0, 0, width(), height()});
    for (int panel = 0; panel < 2; ++panel) {
        const TRect inside = PanelRect(panel);
        const TRect frame{inside.Left - 1, inside.Top - 1, inside.Right + 1, inside.Bottom + 1};
        c.Pen.Style = psSolid;
        c.Pen.Color = clBtnShadow;
        c.MoveTo(frame.Left, frame.Bottom - 1);
        c.LineTo(frame.Left, frame.Top);
        c.LineTo(frame.Right, frame.Top);
        c.Pen.Color = clBtnHighlight;
        c.MoveTo(frame.Right - 1, frame.Top + 1);
        c.LineTo(frame.Right - 1, frame.Bottom - 1);
        c.LineTo(frame.Left, frame.Bottom - 1);
    }
    if (!text_.isEmpty()) {
        TRect inside = PanelRect(0);
        inside.Left += 2;
        c.Font = font();
        c.FontColor = clWindowText;
        c.SetBkMode(TRANSPARENT);
        c.DrawText(text_, inside, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (OnDrawPanel) OnDrawPanel(this, 1, PanelRect(1));
}

void TStatusBar::SetPanelText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    Repaint();
}

void TStatusBar::Repaint() { Paint(); }

void TStatusBar::resizeEvent(QResizeEvent* event) {
    const QSize hint = grip_->sizeHint();
    grip_->setGeometry(width() - hint.width(), height() - hint.height(), hint.width(), hint.height());
    TPaintBox::resizeEvent(event);
}

} // namespace mx
