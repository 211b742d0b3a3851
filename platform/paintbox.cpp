#include "platform/paintbox.h"

#include "platform/application.h"

#include <QPaintEvent>
#include <QPainter>

namespace mx {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

TPaintBox::~TPaintBox() = default;

QRect TPaintBox::VisibleArea() const {
    QRect r = visibleRegion().boundingRect();
    // A box not on screen yet still gets a buffer of its own size, limited
    // to what a screen could show.
    if (r.isEmpty()) r = rect() & QRect(0, 0, 4096, 4096);
    return r;
}

// Returns true when the buffer had to be made anew (its content is lost).
bool TPaintBox::EnsureBuffer() {
    const QRect wanted = VisibleArea();
    if (wanted == bufferRect_ && !buffer_.isNull()) return false;
    CloseCanvas();
    bufferRect_ = wanted;
    buffer_ = QImage(std::max(1, wanted.width()), std::max(1, wanted.height()), QImage::Format_RGB32);
    buffer_.fill(palette().color(QPalette::Window));
    return true;
}

TCanvas& TPaintBox::Canvas() {
    if (!canvas_) {
        if (EnsureBuffer()) stale_ = true;
        canvas_ = std::make_unique<TCanvas>(&buffer_);
        canvas_->Painter().translate(-bufferRect_.topLeft());
        canvas_->Font = font();
        canvas_->FontColor = FromQColor(palette().color(QPalette::WindowText));
        canvas_->SetBrushColor(brush_.Color);
        canvas_->SetBrushStyle(brush_.Style);
        update();
    }
    return *canvas_;
}

void TPaintBox::CloseCanvas() {
    if (canvas_) brush_ = canvas_->Brush();
    canvas_.reset();
}

const QImage& TPaintBox::Buffer() {
    CloseCanvas();
    return buffer_;
}

TColor TPaintBox::PixelAt(int x, int y) {
    const QImage& b = Buffer();
    const QPoint p(x - bufferRect_.left(), y - bufferRect_.top());
    if (!b.valid(p)) return -1;
    return FromQColor(QColor(b.pixel(p)));
}

void TPaintBox::Invalidate() {
    stale_ = true;
    update();
}

void TPaintBox::Paint() {
    stale_ = false;
    ++paintCount_;
    if (OnPaint) Application()->Guard([this] { OnPaint(this); });
}

void TPaintBox::paintEvent(QPaintEvent*) {
    if (EnsureBuffer()) stale_ = true;
    if (stale_) Paint();
    CloseCanvas();
    QPainter p(this);
    p.drawImage(bufferRect_.topLeft(), buffer_);
}

void TPaintBox::resizeEvent(QResizeEvent* event) {
    stale_ = true;
    QWidget::resizeEvent(event);
}

} // namespace mx
