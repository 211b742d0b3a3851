#pragma once
// A control painted by a handler. The handler may also be called directly,
// outside Qt's paint cycle: its drawing then goes into a retained buffer
// that covers only the visible part of the box, and the widget shows the
// buffer at its next paint. When the buffer is stale (resize, expose,
// scroll) the paint event asks the handler to draw again.
#include "platform/canvas.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

namespace mx {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);
    ~TPaintBox() override;

    std::function<void(TPaintBox*)> OnPaint;

    // The canvas on the buffer, in the box's own coordinates. Open until the
    // handler's drawing is shown.
    TCanvas& Canvas();
    // Part of the box that the buffer covers (box coordinates).
    QRect BufferRect() const { return bufferRect_; }
    // The buffer's pixels (for tests): pixel (x, y) of the box is at
    // (x - BufferRect().left(), y - BufferRect().top()).
    const QImage& Buffer();
    // Box pixel at (x, y) as last drawn; -1 outside the buffer.
    TColor PixelAt(int x, int y);

    // Marks the buffer stale: the next paint asks the handler to draw.
    void Invalidate();
    // Calls the handler now (guarded), as a repaint request would.
    void Paint();
    // How often the handler drew (for tests and benchmarks).
    int PaintCount() const { return paintCount_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect VisibleArea() const;
    void CloseCanvas();
    bool EnsureBuffer();

    QImage buffer_;
    QRect bufferRect_;
    std::unique_ptr<TCanvas> canvas_;
    // The brush outlives one canvas, as a control canvas's brush does.
    TBrush brush_;
    bool stale_ = true;
    int paintCount_ = 0;
};

} // namespace mx
