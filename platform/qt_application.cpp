#include "platform/qt_application.h"

#include "platform/application.h"

#include <QFont>

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

void InstallFontSubstitutes() {
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Arial Narrow", {"Liberation Sans Narrow", "Liberation Sans"});
    QFont::insertSubstitutions("MS Serif", {"Liberation Serif", "DejaVu Serif"});
    QFont::insertSubstitutions("Arial Black", {"DejaVu Sans", "Liberation Sans"});
}

} // namespace mx
