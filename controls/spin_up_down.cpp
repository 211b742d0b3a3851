#include "controls/spin_up_down.h"

#include "platform/application.h"

#include <QResizeEvent>
#include <QToolButton>
#include <exception>

namespace mx {

TSpinUpDown::TSpinUpDown(int fixedWidth, QWidget* parent)
    : QWidget(parent), fixedWidth_(fixedWidth), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    setCursor(Qt::ArrowCursor);
    for (QToolButton* b : {up_, down_}) {
        b->setArrowType(b == up_ ? Qt::UpArrow : Qt::DownArrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, b] {
            if (!OnClick) return;
            // A failing step ends the repeat; the error goes to the default
            // handler, never through the tool button's timer.
            try {
                OnClick(b == up_);
            } catch (const std::exception& e) {
                b->setDown(false);
                Application()->HandleException(e);
            }
        });
    }
}

TSpinUpDown::~TSpinUpDown() = default;

void TSpinUpDown::resizeEvent(QResizeEvent* event) {
    // The width stays the default button width whoever resizes us.
    if (width() != fixedWidth_) {
        resize(fixedWidth_, height());
        return;
    }
    const int upHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upHeight);
    down_->setGeometry(0, upHeight, width(), height() - upHeight);
    QWidget::resizeEvent(event);
}

} // namespace mx
