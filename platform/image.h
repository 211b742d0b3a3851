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

    const TPicture& Picture() const;
    void SetPicture(const TPicture& picture);
    // Loads a picture; one that fails to decode is reported and leaves the
    // control empty. It is decoded when first shown or asked for: the
    // pictures of the tabs not yet shown cost nothing at start-up.
    void SetPictureResource(const QString& path);
    QString PictureResource() const { return resource_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void DecodePending() const;

    mutable TPicture picture_;
    QString resource_;
    mutable bool pending_ = false;
    bool stretch_ = false;
};

} // namespace mx
