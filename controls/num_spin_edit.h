#pragma once
// The numeric text field with a spin button used for every number the user
// types. It keeps no number of its own: its value is always the parse of
// its text, and writing the value replaces the text only when the new text
// differs. OnChange fires for every user edit and for every replacement,
// never for an unchanged text, which ends write-back chains between change
// handlers.
#include "controls/number_text.h"

#include <QLineEdit>
#include <exception>
#include <functional>
#include <optional>

namespace mx {

class TDiagonalSpinButton;
class TSpinUpDown;

class TNumSpinEdit : public QLineEdit {
    Q_OBJECT
    // In the order a window description applies them: the limits come
    // before ValueType and Value, so a stored value is formatted with the
    // final type and clamped with the final limits.
    Q_PROPERTY(Qt::Alignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool ArrowKeys READ ArrowKeys WRITE setArrowKeys)
    Q_PROPERTY(mx::TSpinButtonKind ButtonKind READ ButtonKind WRITE setButtonKind)
    Q_PROPERTY(int Decimal READ Decimal WRITE setDecimal)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE setEditorEnabled)
    Q_PROPERTY(double Increment READ Increment WRITE setIncrement)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(double MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(mx::TValueType ValueType READ ValueType WRITE setValueType)
    Q_PROPERTY(double Value READ Value WRITE setValue)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE setAutoSelect)

public:
    explicit TNumSpinEdit(QWidget* parent = nullptr);
    ~TNumSpinEdit() override;

    // Handlers run synchronously and may write back into the field.
    std::function<void(QObject* sender)> OnChange;
    std::function<void(QObject* sender)> OnTopClick;
    std::function<void(QObject* sender)> OnBottomClick;
    // The user's editing of the text ended: Enter, or the focus left the
    // field (Tab, a click elsewhere). Runs after the limits are applied.
    std::function<void(QObject* sender)> OnEditEnd;

    bool ArrowKeys() const { return arrowKeys_; }
    void setArrowKeys(bool value);
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void setButtonKind(TSpinButtonKind value);
    // Digits after the decimal separator for vtFloat, 0 to 255.
    int Decimal() const { return decimal_; }
    void setDecimal(int value);
    bool EditorEnabled() const { return editorEnabled_; }
    void setEditorEnabled(bool value);
    double Increment() const { return increment_; }
    void setIncrement(double value) { increment_ = value; }
    double MaxValue() const { return maxValue_; }
    void setMaxValue(double value) { maxValue_ = value; }
    double MinValue() const { return minValue_; }
    void setMinValue(double value) { minValue_ = value; }
    TValueType ValueType() const { return valueType_; }
    void setValueType(TValueType value);
    // A read-only field refuses typing and beeps on a step. Hides the
    // line edit's own setter, which also serves EditorEnabled.
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool value);
    bool AutoSelect() const { return autoSelect_; }
    void setAutoSelect(bool value) { autoSelect_ = value; }

    // Whether the change being handled is the user's own typing (a key, a
    // paste or an input method), not a replacement or a step.
    bool InUserEdit() const { return inUserEdit_; }

    // The parse of the text; never clamped.
    double Value() const;
    // Clamps, formats and replaces the text if it differs.
    void setValue(double value);

    void StepUp() { Step(true); }
    void StepDown() { Step(false); }
    double ClampValue(double x) const;
    bool AcceptsChar(QChar c) const;

    // Text height + 4 border heights + 1.
    int MinimumHeight() const;
    // The spin button in use (the other one is nullptr).
    TDiagonalSpinButton* DiagonalButton() const { return button_; }
    TSpinUpDown* UpDown() const { return upDown_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ChangeStep();
    // Runs the edit control's own handling of a user edit. When a change
    // handler rewrites the text meanwhile, the caret goes back behind the
    // same number of digits and signs it had after the edit, so typing
    // goes on where the user typed.
    void UserEdit(const std::function<void()>& edit);
    // textChanged of the edit control, for user edits and replacements.
    void ControlChangedText();
    // Calls into the edit control; an error of a change handler raised
    // inside it is rethrown here, once the control is done.
    void CallControl(const std::function<void()>& call);
    void Step(bool up);
    bool AcceptsTyped(const QString& typed) const;
    // Clicks the window's default (Enter) or cancel (Esc) button.
    bool ClickDialogButton(bool isDefault);
    void BuildButton();
    void LayoutButton();
    void SetTextRect();
    int ButtonWidth() const;
    void UpdateEditable();

    bool changing_ = false;
    // While a user edit runs: digits and signs before the caret right after
    // it, and the text then (nothing until the edit changed the text).
    std::optional<int> editCaret_;
    QString editText_;
    bool inUserEdit_ = false;
    int controlCalls_ = 0;
    std::exception_ptr pendingError_;
    bool arrowKeys_ = true;
    bool editorEnabled_ = true;
    bool readOnly_ = false;
    bool autoSelect_ = true;
    TSpinButtonKind buttonKind_ = bkDiagonal;
    int decimal_ = 2;
    double increment_ = 1;
    double maxValue_ = 0;
    double minValue_ = 0;
    TValueType valueType_ = vtInteger;
    TDiagonalSpinButton* button_ = nullptr;
    TSpinUpDown* upDown_ = nullptr;
};

} // namespace mx
