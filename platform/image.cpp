#include "platform/image.h"

#include "platform/application.h"

#include <QPainter>

namespace mx {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

const TPicture& TImage::Picture() const {
    DecodePending();
    return picture_;
}

void TImage::SetPicture(const TPicture& picture) {
    pending_ = false;
    picture_ = picture;
    update();
}

void TImage::SetPictureResource(const QString& path) {
    resource_ = path;
    picture_ = TPicture();
    pending_ = true;
    if (isVisible()) DecodePending();
    update();
}

void TImage::DecodePending() const {
    if (!pending_) return;
    pending_ = false;
    Application()->Guard([this] { picture_ = TPicture::FromResource(resource_); });
}

void TImage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    DecodePending();
}

void TImage::SetStretch(bool stretch) {
    if (stretch == stretch_) return;
    stretch_ = stretch;
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (pending_ || picture_.Empty()) return;
    QPainter p(this);
    if (stretch_) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), picture_.Image());
    } else {
        p.drawImage(QPoint(0, 0), picture_.Image());
    }
}

} // namespace mx
