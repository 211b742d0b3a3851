#include "platform/qt_application.h"

#include "platform/application.h"
#include "platform/fonts.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace mx {

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallFontSubstitutes();
    // Qt's own dialogs (files, colours, questions) speak the program's
    // language whatever the user's locale.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Application()->HandleException(e);
    }
    return false;
}

} // namespace mx
