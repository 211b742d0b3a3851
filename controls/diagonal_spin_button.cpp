#include "controls/diagonal_spin_button.h"

#include "controls/spin_glyphs.h"
#include "platform/application.h"
#include "platform/canvas.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <cmath>

namespace mx {

namespace {

bool LeftButtonHeld() { return QGuiApplication::mouseButtons() & Qt::LeftButton; }

// Nearest integer, halves to the even neighbour.
int Nearest(double v) { return static_cast<int>(std::nearbyint(v)); }

} // namespace

bool InLowerHalf(int x, int y, int w, int h) {
    if (w <= 0) return false;
    return y > h - (double(h) / w) * x;
}

void PaintDiagonalSpinButton(TCanvas& c, int w, int h, TDiagonalSpinButton::TState state) {
    using S = TDiagonalSpinButton;
    const bool top = state == S::TopDown;
    const bool bottom = state == S::BottomDown;
    const int d = top ? 2 : 1;
    auto line = [&c](int x0, int y0, int x1, int y1) {
        c.MoveTo(x0, y0);
        c.LineTo(x1, y1);
    };

    c.Pen.Width = 1;
    c.Pen.Style = psSolid;
    c.SetBrushColor(clBtnFace);
    c.SetBrushStyle(bsSolid);
    c.FillRect({0, 0, w, h});

    c.Pen.Color = clWindowFrame;
    c.Rectangle(0, 0, w, h);
    line(-1, h, w, -1);

    c.Pen.Color = top ? clBtnShadow : clBtnHighlight;
    line(1, h - 4, 1, 1);
    c.LineTo(w - 3, 1);

    c.Pen.Color = top ? clBtnHighlight : clBtnShadow;
    if (!top) line(1, h - 3, w - 2, 0);

    c.Pen.Color = bottom ? clBtnHighlight : clBtnShadow;
    line(2, h - 2, w - 2, h - 2);
    c.LineTo(w - 2, 1);

    c.Pen.Color = bottom ? clBtnShadow : clBtnHighlight;
    line(2, h - 2, w - 1, 1);

    constexpr double half = TSpinGlyph::Size / 2.0;
    DrawSpinGlyph(c, SpinUpGlyph, Nearest(w / 4.0 - half) + d, Nearest(h / 4.0 - half) + d);
    DrawSpinGlyph(c, SpinDownGlyph, Nearest(3 * w / 4.0 - half) - 1, Nearest(3 * h / 4.0 - half) - 1);

    if (bottom) {
        c.Pen.Color = clBtnShadow;
        line(3, h - 2, w - 1, 2);
    }
}

TDiagonalSpinButton::TDiagonalSpinButton(QWidget* parent) : QWidget(parent) {
    resize(20, 20);
    setCursor(Qt::ArrowCursor);
}

TDiagonalSpinButton::~TDiagonalSpinButton() = default;

void TDiagonalSpinButton::paintEvent(QPaintEvent*) {
    if (!isEnabled()) dragging_ = false;
    TCanvas canvas(this);
    PaintDiagonalSpinButton(canvas, width(), height(), state_);
}

void TDiagonalSpinButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(event);
}

void TDiagonalSpinButton::SetState(TState state) {
    if (state == state_) return;
    state_ = state;
    repaint();
}

bool TDiagonalSpinButton::Click(TState half) {
    const auto& handler = half == BottomDown ? OnBottomClick : OnTopClick;
    if (!handler) return true;
    QPointer<TDiagonalSpinButton> self(this);
    clicking_ = true;
    try {
        handler(this);
    } catch (const std::exception& e) {
        if (self) {
            clicking_ = false;
            if (timer_) timer_->stop();
            dragging_ = false;
            lastPressed_ = NotDown;
            SetState(NotDown);
        }
        Application()->HandleException(e);
        return false;
    }
    if (!self) return false;
    clicking_ = false;
    return true;
}

void TDiagonalSpinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) return;
    if (QWidget* f = FocusControl;
        f && (f->focusPolicy() & Qt::TabFocus) && f->isEnabled() && f->isVisible() && !f->hasFocus())
        f->setFocus(Qt::OtherFocusReason);
    if (state_ == NotDown) {
        lastPressed_ = NotDown;
        const QPoint p = event->position().toPoint();
        state_ = InLowerHalf(p.x(), p.y(), width(), height()) ? BottomDown : TopDown;
        if (!Click(state_)) return;
        if (!LeftButtonHeld()) state_ = NotDown;
        if (state_ != lastPressed_) {
            lastPressed_ = state_;
            repaint();
        }
        if (!timer_) {
            timer_ = new QTimer(this);
            connect(timer_, &QTimer::timeout, this, &TDiagonalSpinButton::TimerTick);
        }
        timer_->start(FirstRepeatDelay);
    }
    dragging_ = true;
}

void TDiagonalSpinButton::TimerTick() {
    timer_->setInterval(RepeatInterval);
    // A handler that opens a modal loop must not be re-entered by the ticks
    // arriving inside it.
    if (clicking_) return;
    if (state_ == NotDown || !dragging_ || !LeftButtonHeld()) return;
    if (!Click(state_)) return;
    if (!LeftButtonHeld()) SetState(NotDown);
}

void TDiagonalSpinButton::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const QPoint p = event->position().toPoint();
    TState state = NotDown;
    if (p.x() >= 0 && p.x() <= width() && p.y() >= 0 && p.y() <= height()) {
        const TState half = InLowerHalf(p.x(), p.y(), width(), height()) ? BottomDown : TopDown;
        if (half == lastPressed_) state = half;
    }
    SetState(state);
}

void TDiagonalSpinButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    // Also when released outside: a release without a preceding move must
    // not leave the button drawn pressed.
    lastPressed_ = NotDown;
    SetState(NotDown);
}

} // namespace mx
