#include "controls/radio_group.h"

#include "platform/application.h"
#include "platform/loading.h"

#include <QEvent>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <algorithm>

namespace mx {

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {}

TRadioGroup::~TRadioGroup() = default;

void TRadioGroup::setItems(const QStringList& items) {
    if (items == items_) return;
    items_ = items;
    for (QRadioButton* b : buttons_) delete b;
    buttons_.clear();
    for (int i = 0; i < items_.size(); ++i) {
        auto* button = new QRadioButton(items_[i], this);
        connect(button, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !updating_) Application()->Guard([this, i] { setItemIndex(i); });
        });
        buttons_.push_back(button);
        button->show();
    }
    itemIndex_ = std::min(itemIndex_, int(items_.size()) - 1);
    ShowIndex();
    ArrangeButtons();
}

QRadioButton* TRadioGroup::Button(int index) const {
    return index >= 0 && index < int(buttons_.size()) ? buttons_[size_t(index)] : nullptr;
}

void TRadioGroup::setItemIndex(int index) {
    // A window description may set the index before the items; the items
    // then limit it when they arrive.
    index = IsLoading() ? std::max(index, -1) : std::clamp(index, -1, int(items_.size()) - 1);
    if (index == itemIndex_) {
        ShowIndex();
        return;
    }
    itemIndex_ = index;
    ShowIndex();
    if (OnClick) OnClick(this);
}

// Checks exactly the button of the index; auto-exclusive buttons cannot be
// unchecked directly, so exclusivity is lifted for the moment.
void TRadioGroup::ShowIndex() {
    updating_ = true;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        QRadioButton* b = buttons_[i];
        const bool on = int(i) == itemIndex_;
        if (b->isChecked() == on) continue;
        b->setAutoExclusive(false);
        b->setChecked(on);
        b->setAutoExclusive(true);
    }
    updating_ = false;
}

// One column: the items share the space below the caption evenly.
void TRadioGroup::ArrangeButtons() {
    if (buttons_.empty()) return;
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect contents = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
    const int count = int(buttons_.size());
    const int left = contents.left() + 6;
    const int width = std::max(0, contents.right() - left - 2);
    for (int i = 0; i < count; ++i) {
        const int top = contents.top() + contents.height() * i / count;
        const int bottom = contents.top() + contents.height() * (i + 1) / count;
        buttons_[size_t(i)]->setGeometry(left, top, width, bottom - top);
    }
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    ArrangeButtons();
}

// A new font or style moves the caption and with it the space below.
void TRadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) ArrangeButtons();
}

} // namespace mx
