#include "platform/qt_application.h"

#include "platform/application.h"
#include "platform/fonts.h"

namespace mx {

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) { InstallFontSubstitutes(); }

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Application()->HandleException(e);
    }
    return false;
}

} // namespace mx
