#pragma once
// A square spin button split by its diagonal from the bottom-left to the
// top-right corner: the upper-left triangle steps up, the lower-right one
// down. Holding the left button repeats the step, first after 400 ms, then
// every 100 ms, as long as the pointer stays on the pressed half.
#include <QWidget>
#include <functional>

class QTimer;

namespace mx {

class TCanvas;

class TDiagonalSpinButton : public QWidget {
    Q_OBJECT
public:
    enum TState { NotDown, TopDown, BottomDown };

    static constexpr int FirstRepeatDelay = 400;
    static constexpr int RepeatInterval = 100;

    explicit TDiagonalSpinButton(QWidget* parent = nullptr);
    ~TDiagonalSpinButton() override;

    std::function<void(QObject* sender)> OnTopClick;
    std::function<void(QObject* sender)> OnBottomClick;
    // Takes the focus when the button is pressed; owns the button.
    QWidget* FocusControl = nullptr;

    TState State() const { return state_; }
    // The repeat timer; nullptr until the first press.
    QTimer* RepeatTimer() const { return timer_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void TimerTick();
    // Raises the half's click; false when the handler failed (reported).
    bool Click(TState half);
    void SetState(TState state);

    TState state_ = NotDown;
    TState lastPressed_ = NotDown;
    bool dragging_ = false;
    bool clicking_ = false;
    QTimer* timer_ = nullptr;
};

// Whether (x, y) lies in the lower-right half of a w x h button.
bool InLowerHalf(int x, int y, int w, int h);

// Draws the whole w x h button in the given state.
void PaintDiagonalSpinButton(TCanvas& canvas, int w, int h, TDiagonalSpinButton::TState state);

} // namespace mx
