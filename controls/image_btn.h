#pragma once
// A push button made of two pictures: the normal one, and a second one
// shown while a mouse button holds it down with the pointer over it. No
// frame, no caption, no focus: the pictures carry the whole look.
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

namespace mx {

class TImageBtn : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QString PictureResource READ PictureResource WRITE setPictureResource)
    Q_PROPERTY(QString Picture2Resource READ Picture2Resource WRITE setPicture2Resource)

public:
    using MouseHandler = std::function<void(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)>;
    using MoveHandler = std::function<void(QObject*, Qt::KeyboardModifiers, int, int)>;

    explicit TImageBtn(QWidget* parent = nullptr);
    ~TImageBtn() override;

    // The picture shown now: the normal one except while pressed.
    const QImage& Picture() const { return picture_; }
    void setPicture(const QImage& picture);
    const QImage& Picture2() const { return picture2_; }
    void setPicture2(const QImage& picture);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool value);

    // Pictures read from a file or Qt resource; a picture that cannot be
    // decoded is reported and left empty.
    const QString& PictureResource() const { return pictureResource_; }
    void setPictureResource(const QString& path);
    const QString& Picture2Resource() const { return picture2Resource_; }
    void setPicture2Resource(const QString& path);

    // Shows the normal picture, then raises OnClick.
    void Click();

    std::function<void(QObject*)> OnClick;
    std::function<void(QObject*)> OnDblClick;
    MouseHandler OnMouseDown;
    MouseHandler OnMouseUp;
    MoveHandler OnMouseMove;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void ShowFirst();
    void ShowSecond();
    void Press(QMouseEvent* event, bool clickable);
    void AssignPicture(const QImage& picture);

    QImage picture_;
    QImage picture2_;
    QImage kept_;
    QString pictureResource_;
    QString picture2Resource_;
    bool autoSize_ = true;
    bool showingSecond_ = false;
    bool pressed_ = false;
    // A left press that may still end in a click.
    bool clickPending_ = false;
};

} // namespace mx
