#include "controls/placed_controls.h"

#include "platform/application.h"

#include <QPushButton>

namespace mx {

QPushButton* PlaceButton(QWidget* strip, const QString& name, const QString& caption, const QRect& at,
                         const QString& hint, std::function<void()> command) {
    auto* button = PlaceControl<QPushButton>(strip, name, at, hint);
    button->setText(caption);
    QObject::connect(button, &QPushButton::clicked, button,
                     [command = std::move(command)] { Application()->Guard(command); });
    return button;
}

} // namespace mx
