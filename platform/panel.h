#pragma once
// A container with up to two bevels (outer first, inner inside it) and a
// border between them, filled with its own colour. Children inherit the
// colour through the palette, so labels on it show the panel's colour.
#include "platform/colors.h"

#include <QString>
#include <QWidget>

namespace mx {

enum TBevelCut : unsigned char { bvNone = 0, bvLowered = 1, bvRaised = 2 };

class TPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(mx::TBevelCut BevelInner READ BevelInner WRITE setBevelInner)
    Q_PROPERTY(mx::TBevelCut BevelOuter READ BevelOuter WRITE setBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(int Color READ Color WRITE setColor)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    explicit TPanel(QWidget* parent = nullptr);

    TBevelCut BevelInner() const { return bevelInner_; }
    void setBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TBevelCut value);
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int value);
    int BorderWidth() const { return borderWidth_; }
    void setBorderWidth(int value);
    TColor Color() const { return color_; }
    void setColor(TColor value);
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& value);

    // Width of the frame: both bevels and the border.
    int FrameWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FrameChanged();
    void ApplyColor();

    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TColor color_ = clBtnFace;
    QString caption_;
};

} // namespace mx
