#pragma once
// A label that draws its text twice: first in a shadow colour, offset by a
// few pixels, then in the font colour at its place. The defaults give a
// one-pixel light fringe above and left of every stroke.
#include "platform/colors.h"
#include "platform/loading.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QShortcut;

namespace mx {

class TCanvas;
struct TRect;

enum TAlignment : unsigned char { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum TTextLayout : unsigned char { tlTop = 0, tlCenter = 1, tlBottom = 2 };
enum TShadowPosition : unsigned char { spLeftTop = 0, spLeftBottom = 1, spRightBottom = 2, spRightTop = 3 };

// Draws text in shadowColor offset by shadowSize towards pos, then in the
// canvas's font colour at rect. With DT_CALCRECT nothing is drawn: rect
// becomes the extent of both copies and the result is the text height plus
// shadowSize.
int DrawShadowText(TCanvas& canvas, const QString& text, TRect& rect, unsigned format, int shadowSize,
                   TColor shadowColor, TShadowPosition pos);

class TShadowLabel : public QWidget, public TLoadable {
    Q_OBJECT
    Q_PROPERTY(mx::TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)
    Q_PROPERTY(int FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(mx::TTextLayout Layout READ Layout WRITE setLayout)
    Q_PROPERTY(int ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(int ShadowSize READ ShadowSize WRITE setShadowSize)
    Q_PROPERTY(mx::TShadowPosition ShadowPos READ ShadowPos WRITE setShadowPos)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE setShowAccelChar)
    Q_PROPERTY(bool ShowFocus READ ShowFocus WRITE setShowFocus)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)

public:
    explicit TShadowLabel(QWidget* parent = nullptr);
    ~TShadowLabel() override;

    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment value);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool value);
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& value);
    // The own colour, or the parent's while ParentColor is on.
    TColor Color() const;
    void setColor(TColor value);
    bool ParentColor() const { return !color_; }
    void setParentColor(bool value);
    // The text colour; the parent's text colour unless set.
    TColor FontColor() const;
    void setFontColor(TColor value);
    TTextLayout Layout() const { return layout_; }
    void setLayout(TTextLayout value);
    TColor ShadowColor() const { return shadowColor_; }
    void setShadowColor(TColor value);
    int ShadowSize() const { return shadowSize_; }
    // Clamped to 0..255.
    void setShadowSize(int value);
    TShadowPosition ShadowPos() const { return shadowPos_; }
    void setShadowPos(TShadowPosition value);
    bool ShowAccelChar() const { return showAccelChar_; }
    void setShowAccelChar(bool value);
    bool ShowFocus() const { return showFocus_; }
    void setShowFocus(bool value);
    QWidget* FocusControl() const { return focusControl_; }
    void setFocusControl(QWidget* control);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool value);
    bool WordWrap() const { return wordWrap_; }
    void setWordWrap(bool value);

    std::function<void(QObject*)> OnMouseEnter;
    std::function<void(QObject*)> OnMouseLeave;

    // Draws the whole label (background, text, focus rectangle) in its own
    // client coordinates.
    void PaintOn(TCanvas& canvas);
    // Resizes to the text when AutoSize is on.
    void AdjustBounds();
    void Loaded() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    unsigned DrawFormat() const;
    int DrawCaption(TCanvas& canvas, TRect& rect, unsigned format) const;
    void UpdateShortcut();
    void AcceleratorPressed();
    void SetMouseInside(bool inside);

    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    QString caption_;
    std::optional<TColor> color_;
    std::optional<TColor> fontColor_;
    TTextLayout layout_ = tlTop;
    TColor shadowColor_ = clBtnHighlight;
    int shadowSize_ = 1;
    TShadowPosition shadowPos_ = spLeftTop;
    bool showAccelChar_ = true;
    bool showFocus_ = false;
    QPointer<QWidget> focusControl_;
    bool transparent_ = false;
    bool wordWrap_ = false;
    QShortcut* shortcut_ = nullptr;
    bool mouseInside_ = false;
};

} // namespace mx
