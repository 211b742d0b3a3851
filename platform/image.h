#pragma once
// A window-less picture control: shows one picture at its natural size at
// its top-left corner, or stretched to its box.
#include "platform/picture.h"

#include <QWidget>

namespace mx {

class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString PictureResource READ PictureResource WRITE SetPictureResource)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
public:
    explicit TImage(QWidget* parent = nullptr);

    const TPicture& Picture() const { return picture_; }
    void SetPicture(const TPicture& picture);
    // Loads a picture; one that fails to decode is reported and leaves the
    // control empty.
    void SetPictureResource(const QString& path);
    QString PictureResource() const { return resource_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TPicture picture_;
    QString resource_;
    bool stretch_ = false;
};

} // namespace mx
