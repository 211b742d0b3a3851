#pragma once
// The platform-look up-down control: two stacked arrow buttons of a fixed
// width, each repeating while held.
#include <QWidget>
#include <functional>

class QToolButton;

namespace mx {

class TSpinUpDown : public QWidget {
    Q_OBJECT
public:
    TSpinUpDown(int fixedWidth, QWidget* parent = nullptr);
    ~TSpinUpDown() override;

    // up is true for the upper arrow.
    std::function<void(bool up)> OnClick;

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int fixedWidth_;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace mx
