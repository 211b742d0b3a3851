#pragma once
// A window shaped like the main window as far as the settings store is
// concerned: a fill list and two colour boxes publishing the stored
// properties, with the main window's section name.
#include "platform/colors.h"

#include <QWidget>

namespace mx {
class TFormStorage;
}

namespace mx::test {

// Like the radio group: setting another index raises its click event.
class FillList : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
public:
    using QWidget::QWidget;
    int ItemIndex() const { return index_; }
    void SetItemIndex(int index) {
        if (index == index_) return;
        index_ = index;
        ++clicks;
    }
    int clicks = 0;

private:
    int index_ = 1;
};

// Like the colour combo box: a colour set by program raises no change.
class ColorBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int ColorValue READ ColorValue WRITE SetColorValue)
public:
    ColorBox(QWidget* parent, TColor value) : QWidget(parent), value_(value) {}
    TColor ColorValue() const { return value_; }
    void SetColorValue(TColor value) {
        value_ = value;
        ++sets;
    }
    int sets = 0;
    int changes = 0;

private:
    TColor value_;
};

class TMainForm : public QWidget {
    Q_OBJECT
public:
    // With storage false the window has no store (tests make their own).
    explicit TMainForm(bool storage = true);
    ~TMainForm() override;

    FillList* fillBox;
    ColorBox* color1;
    ColorBox* color2;
    TFormStorage* FormStorage1 = nullptr;
    bool refuseClose = false;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

} // namespace mx::test
