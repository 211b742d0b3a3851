#pragma once
// A captioned group of radio buttons in one column, one per item.
// ItemIndex -1 means no item is checked.
#include <QGroupBox>
#include <QStringList>
#include <functional>
#include <vector>

class QRadioButton;

namespace mx {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE setItemIndex)

public:
    explicit TRadioGroup(QWidget* parent = nullptr);
    ~TRadioGroup() override;

    QStringList Items() const { return items_; }
    void setItems(const QStringList& items);
    int ItemIndex() const { return itemIndex_; }
    // Values outside -1 .. count-1 are clamped into that range (while a
    // window is loading, by the items that follow).
    void setItemIndex(int index);

    QRadioButton* Button(int index) const;

    // Raised whenever the index changes, by the user or by program.
    std::function<void(QObject*)> OnClick;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ArrangeButtons();
    void ShowIndex();

    QStringList items_;
    std::vector<QRadioButton*> buttons_;
    int itemIndex_ = -1;
    bool updating_ = false;
};

} // namespace mx
