#include "controls/shadow_label.h"

#include "platform/canvas.h"

#include <QEnterEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeySequence>
#include <QPainter>
#include <QShortcut>
#include <algorithm>

namespace mx {

int DrawShadowText(TCanvas& canvas, const QString& text, TRect& rect, unsigned format, int shadowSize,
                   TColor shadowColor, TShadowPosition pos) {
    TRect textRect = rect;
    TRect shadowRect = rect;
    const int dx = (pos == spRightBottom || pos == spRightTop) ? shadowSize : -shadowSize;
    const int dy = (pos == spLeftBottom || pos == spRightBottom) ? shadowSize : -shadowSize;
    shadowRect.Left += dx;
    shadowRect.Right += dx;
    shadowRect.Top += dy;
    shadowRect.Bottom += dy;

    const TColor textColor = canvas.FontColor;
    canvas.SetBrushStyle(bsClear);
    // With no offset the two copies coincide; drawing the shadow under the
    // text would only lighten its smoothed edges.
    if (shadowSize > 0 || (format & DT_CALCRECT)) {
        canvas.FontColor = shadowColor;
        canvas.DrawText(text, shadowRect, format);
        canvas.FontColor = textColor;
    }
    const int height = canvas.DrawText(text, textRect, format);
    if (!(format & DT_CALCRECT)) return height;
    rect = {std::min(textRect.Left, shadowRect.Left), std::min(textRect.Top, shadowRect.Top),
            std::max(textRect.Right, shadowRect.Right), std::max(textRect.Bottom, shadowRect.Bottom)};
    return height + shadowSize;
}

TShadowLabel::TShadowLabel(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    resize(65, 17);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

TShadowLabel::~TShadowLabel() = default;

void TShadowLabel::setAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    update();
}

void TShadowLabel::setAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    AdjustBounds();
}

void TShadowLabel::setCaption(const QString& value) {
    if (value == caption_) return;
    caption_ = value;
    UpdateShortcut();
    AdjustBounds();
    update();
}

TColor TShadowLabel::Color() const { return color_ ? *color_ : FromQColor(palette().color(QPalette::Window)); }

void TShadowLabel::setColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    update();
}

void TShadowLabel::setParentColor(bool value) {
    if (value == ParentColor()) return;
    if (value)
        color_.reset();
    else
        color_ = Color();
    update();
}

TColor TShadowLabel::FontColor() const {
    return fontColor_ ? *fontColor_ : FromQColor(palette().color(QPalette::WindowText));
}

void TShadowLabel::setFontColor(TColor value) {
    if (fontColor_ == value) return;
    fontColor_ = value;
    update();
}

void TShadowLabel::setLayout(TTextLayout value) {
    if (value == layout_) return;
    layout_ = value;
    update();
}

void TShadowLabel::setShadowColor(TColor value) {
    if (value == shadowColor_) return;
    shadowColor_ = value;
    update();
}

void TShadowLabel::setShadowSize(int value) {
    value = std::clamp(value, 0, 255);
    if (value == shadowSize_) return;
    shadowSize_ = value;
    AdjustBounds();
    update();
}

void TShadowLabel::setShadowPos(TShadowPosition value) {
    if (value == shadowPos_) return;
    shadowPos_ = value;
    update();
}

void TShadowLabel::setShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    UpdateShortcut();
    AdjustBounds();
    update();
}

void TShadowLabel::setShowFocus(bool value) {
    if (value == showFocus_) return;
    showFocus_ = value;
    update();
}

void TShadowLabel::setFocusControl(QWidget* control) {
    if (control == focusControl_) return;
    if (focusControl_) focusControl_->removeEventFilter(this);
    focusControl_ = control;
    // The focus rectangle follows the control's focus.
    if (focusControl_) focusControl_->installEventFilter(this);
    UpdateShortcut();
    update();
}

void TShadowLabel::setTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

void TShadowLabel::setWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    AdjustBounds();
    update();
}

unsigned TShadowLabel::DrawFormat() const {
    unsigned format = DT_EXPANDTABS;
    if (wordWrap_) format |= DT_WORDBREAK;
    if (!showAccelChar_) format |= DT_NOPREFIX;
    return format;
}

int TShadowLabel::DrawCaption(TCanvas& canvas, TRect& rect, unsigned format) const {
    QString text = caption_;
    // An empty text still has the height of a line.
    if ((format & DT_CALCRECT) && (text.isEmpty() || (showAccelChar_ && text == QLatin1String("&"))))
        text += QLatin1Char(' ');
    canvas.Font = font();
    if (isEnabled()) {
        canvas.FontColor = FontColor();
        return DrawShadowText(canvas, text, rect, format, shadowSize_, shadowColor_, shadowPos_);
    }
    canvas.FontColor = clGrayText;
    if (shadowSize_ == 0) return DrawShadowText(canvas, text, rect, format, 1, clBtnHighlight, spRightBottom);
    return DrawShadowText(canvas, text, rect, format, shadowSize_, clBtnHighlight, shadowPos_);
}

void TShadowLabel::PaintOn(TCanvas& canvas) {
    const TRect client = TRect::FromQRect(rect());
    if (!transparent_) {
        canvas.SetBrushColor(Color());
        canvas.SetBrushStyle(bsSolid);
        canvas.FillRect(client);
    }
    TRect textRect = {client.Left + 1, client.Top, client.Right - 1, client.Bottom};
    TAlignment alignment = alignment_;
    if (layoutDirection() == Qt::RightToLeft && alignment != taCenter)
        alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
    unsigned format = DrawFormat();
    if (alignment == taRightJustify)
        format |= DT_RIGHT;
    else if (alignment == taCenter)
        format |= DT_CENTER;

    const bool focusShown = showFocus_ && focusControl_ && focusControl_->hasFocus();
    if (layout_ != tlTop || focusShown) {
        TRect extent = textRect;
        DrawCaption(canvas, extent, format | DT_CALCRECT);
        const int free = height() - extent.Bottom;
        const int dy = layout_ == tlCenter ? free / 2 : layout_ == tlBottom ? free : 0;
        textRect.Top += dy;
        textRect.Bottom += dy;
        if (focusShown) {
            // The measured extent starts at the left; place it as drawn.
            const int slack = textRect.Width() - extent.Width();
            const int dx = alignment == taRightJustify ? slack : alignment == taCenter ? slack / 2 : 0;
            const TRect focus = {extent.Left + dx - 1, extent.Top + dy - 1, extent.Right + dx + 1,
                                 extent.Bottom + dy + 1};
            DrawCaption(canvas, textRect, format);
            canvas.DrawFocusRect(focus);
            return;
        }
    }
    DrawCaption(canvas, textRect, format);
}

void TShadowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TCanvas canvas(&painter);
    PaintOn(canvas);
}

void TShadowLabel::AdjustBounds() {
    if (!autoSize_ || IsLoading()) return;
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas(&scratch);
    TRect r = {1, 0, width() - 1, height()};
    DrawCaption(canvas, r, DrawFormat() | DT_CALCRECT);
    r.Left -= 1;
    r.Right += 1;
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const bool keepRight = (alignment_ == taRightJustify) != (rtl && alignment_ != taCenter);
    const int newLeft = keepRight ? x() + width() - r.Right : x();
    setGeometry(newLeft, y(), r.Right, r.Bottom);
}

void TShadowLabel::Loaded() { AdjustBounds(); }

void TShadowLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        AdjustBounds();
        update();
        break;
    case QEvent::EnabledChange:
        UpdateShortcut();
        if (!isEnabled()) SetMouseInside(false);
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::LayoutDirectionChange: update(); break;
    default: break;
    }
}

void TShadowLabel::UpdateShortcut() {
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    const bool wanted = focusControl_ && isEnabled() && showAccelChar_ && !key.isEmpty();
    if (!wanted) {
        if (shortcut_) shortcut_->setEnabled(false);
        return;
    }
    if (!shortcut_) {
        shortcut_ = new QShortcut(this);
        connect(shortcut_, &QShortcut::activated, this, &TShadowLabel::AcceleratorPressed);
        connect(shortcut_, &QShortcut::activatedAmbiguously, this, &TShadowLabel::AcceleratorPressed);
    }
    shortcut_->setKey(key);
    shortcut_->setEnabled(true);
}

void TShadowLabel::AcceleratorPressed() {
    QWidget* target = focusControl_;
    if (!target || !isEnabled() || !showAccelChar_) return;
    if (target->isEnabled() && target->isVisible() && target->focusPolicy() != Qt::NoFocus)
        target->setFocus(Qt::ShortcutFocusReason);
}

bool TShadowLabel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == focusControl_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
        showFocus_)
        update();
    return QWidget::eventFilter(watched, event);
}

void TShadowLabel::SetMouseInside(bool inside) {
    if (inside == mouseInside_) return;
    mouseInside_ = inside;
    const auto& handler = inside ? OnMouseEnter : OnMouseLeave;
    if (handler) handler(this);
}

void TShadowLabel::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (isEnabled() && QGuiApplication::applicationState() == Qt::ApplicationActive) SetMouseInside(true);
}

void TShadowLabel::leaveEvent(QEvent* event) {
    // Qt holds this back while a drag that started here goes on.
    QWidget::leaveEvent(event);
    SetMouseInside(false);
}

} // namespace mx
