#pragma once
// A status bar with a text panel of fixed width and an owner-drawn last
// panel that takes the rest of the bar, plus a size grip. It paints through
// a retained buffer, so owner code may also draw on it outside the paint
// cycle.
#include "platform/paintbox.h"

#include <functional>

class QSizeGrip;

namespace mx {

class TStatusBar : public TPaintBox {
    Q_OBJECT
    Q_PROPERTY(int FirstPanelWidth READ FirstPanelWidth WRITE SetFirstPanelWidth)
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    int FirstPanelWidth() const { return firstPanelWidth_; }
    void SetFirstPanelWidth(int width);
    // Inside of a panel's frame, in the bar's coordinates.
    TRect PanelRect(int panel) const;

    // Called for the owner-drawn panel after its frame and background.
    std::function<void(TStatusBar*, int panel, const TRect& rect)> OnDrawPanel;

    // Erases and paints the whole bar at once.
    void Repaint();

    // The text panel's text (none by default: the bar then is as ever).
    const QString& PanelText() const { return text_; }
    void SetPanelText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PaintBar();

    int firstPanelWidth_ = 250;
    QString text_;
    QSizeGrip* grip_;
};

} // namespace mx
