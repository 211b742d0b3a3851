#include "controls/num_spin_edit.h"

#include "controls/diagonal_spin_button.h"
#include "controls/spin_up_down.h"
#include "platform/application.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <utility>

namespace mx {

namespace {

// The classic sunken edge: client coordinates start this far inside.
constexpr int EdgeWidth = 2;
constexpr int BorderHeight = 1;

// The vertical scroll bar's width, at most 15.
int DefaultButtonWidth(const QWidget* w) {
    return std::min(w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w), 15);
}

bool CanTakeFocus(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible(); }

} // namespace

TNumSpinEdit::TNumSpinEdit(QWidget* parent) : QLineEdit(parent) {
    setText(QStringLiteral("0"));
    // textChanged comes once per user edit and once per programmatic
    // replacement that really changed the text, never for an equal text.
    connect(this, &QLineEdit::textChanged, this, &TNumSpinEdit::ControlChangedText);
    BuildButton();
    LayoutButton();
    SetTextRect();
}

TNumSpinEdit::~TNumSpinEdit() {
    changing_ = true;
    disconnect(this, &QLineEdit::textChanged, this, &TNumSpinEdit::ControlChangedText);
}

void TNumSpinEdit::ChangeStep() {
    if (changing_) return;
    if (OnChange) OnChange(this);
}

namespace {

bool CountsForCaret(QChar c) { return c.isDigit() || c == u'-' || c == u'+'; }

int DigitsAndSignsBefore(const QString& text, int position) {
    int n = 0;
    for (int i = 0; i < std::min<int>(position, int(text.size())); ++i)
        if (CountsForCaret(text[i])) ++n;
    return n;
}

// The position right behind the n-th digit or sign; the start for none.
int PositionAfterDigitsAndSigns(const QString& text, int n) {
    if (n <= 0) return 0;
    for (int i = 0; i < text.size(); ++i)
        if (CountsForCaret(text[i]) && --n == 0) return i + 1;
    return int(text.size());
}

} // namespace

void TNumSpinEdit::UserEdit(const std::function<void()>& edit) {
    const bool outer = !inUserEdit_;
    if (outer) {
        inUserEdit_ = true;
        editCaret_.reset();
    }
    struct Leave {
        bool& flag;
        bool outer;
        ~Leave() {
            if (outer) flag = false;
        }
    } leave{inUserEdit_, outer};
    CallControl(edit);
    if (outer && editCaret_ && text() != editText_) setCursorPosition(PositionAfterDigitsAndSigns(text(), *editCaret_));
}

// Qt's edit control is no place for an exception to pass through.
void TNumSpinEdit::ControlChangedText() {
    // The first change of a user edit is the user's own text.
    if (inUserEdit_ && !editCaret_) {
        editCaret_ = DigitsAndSignsBefore(text(), cursorPosition());
        editText_ = text();
    }
    if (controlCalls_ == 0) {
        // A change from outside our own calls (context menu, drop): the
        // default error handler takes any error.
        Application()->Guard([this] { ChangeStep(); });
        return;
    }
    try {
        ChangeStep();
    } catch (...) {
        if (!pendingError_) pendingError_ = std::current_exception();
    }
}

void TNumSpinEdit::CallControl(const std::function<void()>& call) {
    ++controlCalls_;
    struct Leave {
        int& calls;
        ~Leave() { --calls; }
    } leave{controlCalls_};
    call();
    if (pendingError_) std::rethrow_exception(std::exchange(pendingError_, nullptr));
}

double TNumSpinEdit::Value() const { return ParseNumber(text(), valueType_, minValue_); }

void TNumSpinEdit::setValue(double value) {
    const QString formatted = FormatNumber(ClampValue(value), valueType_, decimal_);
    if (formatted == text()) return;
    CallControl([&] { setText(formatted); });
}

double TNumSpinEdit::ClampValue(double x) const { return mx::ClampValue(x, minValue_, maxValue_); }

bool TNumSpinEdit::AcceptsChar(QChar c) const { return mx::AcceptsChar(c, text(), valueType_, editorEnabled_); }

void TNumSpinEdit::setValueType(TValueType value) {
    if (value == valueType_) return;
    valueType_ = value;
    if (value != vtFloat) {
        increment_ = std::nearbyint(increment_);
        if (increment_ == 0) increment_ = 1;
    }
    setValue(Value());
}

void TNumSpinEdit::setDecimal(int value) {
    value = std::clamp(value, 0, 255);
    if (value == decimal_) return;
    decimal_ = value;
    setValue(Value());
}

void TNumSpinEdit::setArrowKeys(bool value) {
    arrowKeys_ = value;
    LayoutButton();
}

void TNumSpinEdit::setButtonKind(TSpinButtonKind value) {
    if (value == buttonKind_) return;
    buttonKind_ = value;
    BuildButton();
    LayoutButton();
    SetTextRect();
}

void TNumSpinEdit::setEditorEnabled(bool value) {
    editorEnabled_ = value;
    UpdateEditable();
}

void TNumSpinEdit::setReadOnly(bool value) {
    readOnly_ = value;
    UpdateEditable();
}

void TNumSpinEdit::UpdateEditable() { QLineEdit::setReadOnly(readOnly_ || !editorEnabled_); }

void TNumSpinEdit::Step(bool up) {
    if (readOnly_) {
        Application()->Beep();
        return;
    }
    const QString before = text();
    {
        // No notification during the step; the flag is restored also when
        // an error escapes.
        struct Changing {
            bool& flag;
            bool saved = flag;
            ~Changing() { flag = saved; }
        } changing{changing_};
        changing_ = true;
        setValue(Value() + (up ? increment_ : -increment_));
    }
    if (text().compare(before, Qt::CaseInsensitive) != 0) {
        setModified(true);
        ChangeStep();
    }
    if (const auto& handler = up ? OnTopClick : OnBottomClick) handler(this);
}

bool TNumSpinEdit::AcceptsTyped(const QString& typed) const {
    QString after = text();
    for (const QChar c : typed) {
        // The Delete key's text: a key, not a character.
        if (c.unicode() == 0x7F) continue;
        if (!mx::AcceptsChar(c, after, valueType_, editorEnabled_)) return false;
        after += c;
    }
    return true;
}

bool TNumSpinEdit::ClickDialogButton(bool isDefault) {
    const char* property = isDefault ? "Default" : "Cancel";
    for (QAbstractButton* b : window()->findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || !b->isEnabled()) continue;
        const auto* push = qobject_cast<QPushButton*>(b);
        if (b->property(property).toBool() || (isDefault && push && push->isDefault())) {
            b->click();
            return true;
        }
    }
    return false;
}

void TNumSpinEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (arrowKeys_ && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        event->accept();
        Application()->Guard([&] { Step(key == Qt::Key_Up); });
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Never a line break, never a change.
        event->accept();
        if (OnEditEnd) Application()->Guard([this] { OnEditEnd(this); });
        if (plain) ClickDialogButton(true);
        return;
    }
    if (key == Qt::Key_Escape && plain && ClickDialogButton(false)) {
        event->accept();
        return;
    }
    // The decimal separator typed right in front of the one there steps
    // over it, as the field cannot take a second one.
    const QString separator = DecimalSeparator();
    if (valueType_ == vtFloat && !isReadOnly() && event->text() == separator && !hasSelectedText() &&
        text().mid(cursorPosition(), separator.size()) == separator) {
        event->accept();
        setCursorPosition(cursorPosition() + int(separator.size()));
        return;
    }
    // Control-key combinations insert nothing (the edit control's own rule,
    // which lets format characters through).
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool control = mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier);
    const bool inserts = !event->text().isEmpty() && (!control || event->text()[0].category() == QChar::Other_Format);
    if (inserts && !AcceptsTyped(event->text())) {
        event->accept();
        Application()->Beep();
        return;
    }
    // Errors of the change handler end here: an exception unwinding through
    // Qt's event delivery would skip its cleanup.
    Application()->Guard([&] { UserEdit([&] { QLineEdit::keyPressEvent(event); }); });
}

void TNumSpinEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !AcceptsTyped(event->commitString())) {
        Application()->Beep();
        QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
        QLineEdit::inputMethodEvent(&withoutCommit);
        return;
    }
    Application()->Guard([&] { UserEdit([&] { QLineEdit::inputMethodEvent(event); }); });
}

void TNumSpinEdit::focusInEvent(QFocusEvent* event) {
    const bool hadSelection = hasSelectedText();
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    // A popup closing or the window coming back is no entering of the field.
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
    if (autoSelect_ && reason != Qt::MouseFocusReason)
        selectAll();
    else if (!autoSelect_ && !hadSelection)
        deselect();
}

void TNumSpinEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
    Application()->Guard([this] {
        const double value = Value();
        if (ClampValue(value) != value) setValue(value);
        if (OnEditEnd) OnEditEnd(this);
    });
}

int TNumSpinEdit::MinimumHeight() const { return fontMetrics().height() + 4 * BorderHeight + 1; }

void TNumSpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    if (height() < MinimumHeight()) {
        resize(width(), MinimumHeight());
        return;
    }
    LayoutButton();
    SetTextRect();
}

void TNumSpinEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::LayoutDirectionChange:
    case QEvent::StyleChange:
        LayoutButton();
        SetTextRect();
        break;
    case QEvent::EnabledChange:
        if (upDown_) LayoutButton();
        break;
    default: break;
    }
}

void TNumSpinEdit::BuildButton() {
    // Deferred: a rebuild may be asked for from inside the old button's
    // own handler.
    for (QWidget* old : {static_cast<QWidget*>(button_), static_cast<QWidget*>(upDown_)}) {
        if (!old) continue;
        old->hide();
        old->deleteLater();
    }
    button_ = nullptr;
    upDown_ = nullptr;
    if (buttonKind_ == bkStandard) {
        upDown_ = new TSpinUpDown(DefaultButtonWidth(this), this);
        upDown_->OnClick = [this](bool up) {
            if (CanTakeFocus(this)) setFocus(Qt::OtherFocusReason);
            Step(up);
        };
        upDown_->show();
    } else {
        button_ = new TDiagonalSpinButton(this);
        button_->FocusControl = this;
        button_->OnTopClick = [this](QObject*) { StepUp(); };
        button_->OnBottomClick = [this](QObject*) { StepDown(); };
        button_->show();
    }
}

void TNumSpinEdit::LayoutButton() {
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const int h = height();
    if (button_) {
        // In client coordinates: (Width - Height - 1, -1) or (-1, -1) for
        // right-to-left, Height - 3 square.
        const int left = rtl ? -1 : width() - h - 1;
        button_->setGeometry(left + EdgeWidth, -1 + EdgeWidth, h - 3, h - 3);
    }
    if (upDown_) {
        const int w = DefaultButtonWidth(this);
        upDown_->setGeometry(rtl ? EdgeWidth : width() - EdgeWidth - w, EdgeWidth, w, h - 2 * EdgeWidth);
    }
}

int TNumSpinEdit::ButtonWidth() const { return button_ ? button_->width() : upDown_->width(); }

void TNumSpinEdit::SetTextRect() {
    // Client-coordinate text rectangle: 0 .. width - button - 2, or
    // button + 1 .. width - 1 for right-to-left reading.
    const int bw = ButtonWidth();
    if (layoutDirection() == Qt::RightToLeft)
        setTextMargins(bw + 1, 0, 1, 0);
    else
        setTextMargins(0, 0, bw + 2, 0);
}

} // namespace mx
