#include "platform/image.h"

#include "platform/application.h"

#include <QPainter>

namespace mx {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const TPicture& picture) {
    picture_ = picture;
    update();
}

void TImage::SetPictureResource(const QString& path) {
    resource_ = path;
    TPicture loaded;
    Application()->Guard([&] { loaded = TPicture::FromResource(path); });
    SetPicture(loaded);
}

void TImage::SetStretch(bool stretch) {
    if (stretch == stretch_) return;
    stretch_ = stretch;
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.Empty()) return;
    QPainter p(this);
    if (stretch_) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), picture_.Image());
    } else {
        p.drawImage(QPoint(0, 0), picture_.Image());
    }
}

} // namespace mx
