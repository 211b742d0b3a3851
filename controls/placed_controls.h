#pragma once
// The controls a feature adds where the window's layout has room: children
// of a strip at fixed places, named (tests and settings find them by name)
// and with their hint, as the stored controls are.
#include <QRect>
#include <QString>
#include <functional>

class QPushButton;
class QWidget;

namespace mx {

template <class TControl>
TControl* PlaceControl(QWidget* strip, const QString& name, const QRect& at, const QString& hint) {
    auto* control = new TControl(strip);
    control->setObjectName(name);
    control->setGeometry(at);
    control->setToolTip(hint);
    return control;
}

// A push button whose command runs under the application's error guard.
QPushButton* PlaceButton(QWidget* strip, const QString& name, const QString& caption, const QRect& at,
                         const QString& hint, std::function<void()> command);

} // namespace mx
