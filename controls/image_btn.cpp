#include "controls/image_btn.h"

#include "platform/application.h"
#include "platform/picture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace mx {

namespace {

QImage LoadPicture(const QString& path) {
    if (path.isEmpty()) return {};
    try {
        return TPicture::FromResource(path).Image();
    } catch (const std::exception& e) {
        Application()->HandleException(e);
        return {};
    }
}

} // namespace

TImageBtn::TImageBtn(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    // OnMouseMove is raised without a button held, too.
    setMouseTracking(true);
}

TImageBtn::~TImageBtn() = default;

void TImageBtn::AssignPicture(const QImage& picture) {
    picture_ = picture;
    // An empty picture keeps the last size.
    if (autoSize_ && picture_.width() > 0 && picture_.height() > 0) resize(picture_.size());
    updateGeometry();
    update();
}

void TImageBtn::setPicture(const QImage& picture) { AssignPicture(picture); }

void TImageBtn::setPicture2(const QImage& picture) { picture2_ = picture; }

void TImageBtn::setAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    if (autoSize_ && picture_.width() > 0 && picture_.height() > 0) resize(picture_.size());
}

void TImageBtn::setPictureResource(const QString& path) {
    pictureResource_ = path;
    setPicture(LoadPicture(path));
}

void TImageBtn::setPicture2Resource(const QString& path) {
    picture2Resource_ = path;
    setPicture2(LoadPicture(path));
}

void TImageBtn::ShowSecond() {
    if (showingSecond_) return;
    showingSecond_ = true;
    kept_ = picture_;
    AssignPicture(picture2_);
}

void TImageBtn::ShowFirst() {
    if (!showingSecond_) return;
    AssignPicture(kept_);
    showingSecond_ = false;
}

void TImageBtn::Click() {
    ShowFirst();
    if (OnClick) OnClick(this);
}

QSize TImageBtn::sizeHint() const { return picture_.isNull() ? size() : picture_.size(); }

void TImageBtn::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
}

void TImageBtn::Press(QMouseEvent* event, bool clickable) {
    ShowSecond();
    pressed_ = true;
    if (event->button() == Qt::LeftButton) clickPending_ = clickable;
    const QPoint p = event->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
}

void TImageBtn::mousePressEvent(QMouseEvent* event) {
    event->accept();
    Press(event, true);
}

void TImageBtn::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    // Qt delivers the second press of a double click as this event alone.
    // It shows the pressed picture, but its release is no click.
    if (event->button() == Qt::LeftButton && OnDblClick) OnDblClick(this);
    Press(event, false);
}

void TImageBtn::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (pressed_) {
        if (p.x() < 0 || p.x() >= width() || p.y() < 0 || p.y() >= height())
            ShowFirst();
        else
            ShowSecond();
    }
    if (OnMouseMove) OnMouseMove(this, event->modifiers(), p.x(), p.y());
}

void TImageBtn::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    // The click comes before the release notification, and only for a left
    // press released over the control.
    const bool click = event->button() == Qt::LeftButton && clickPending_ && rect().contains(p);
    if (event->button() == Qt::LeftButton) clickPending_ = false;
    // Cleared first, so that a click handler that fails leaves no button held.
    pressed_ = false;
    if (click) {
        const QPointer<TImageBtn> self(this);
        // A failing handler is reported here: an exception must not unwind
        // through Qt's event delivery, which leaks and skips its cleanup.
        bool clicked = false;
        Application()->Guard([&] {
            Click();
            clicked = true;
        });
        if (!self || !clicked) return;
    }
    ShowFirst();
    if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
}

} // namespace mx
