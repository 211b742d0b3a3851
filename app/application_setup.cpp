#include "app/application_setup.h"

#include "app/main_form.h"
#include "platform/application.h"

#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

// The icons live in the static library's resources: register them first.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace mx {

void SetUpApplication() {
    InitResources();
    Application()->Title = QStringLiteral("Marbelux 1.0");
    // Window systems that look the icon up by the desktop entry (Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("de.orvenal.marbelux"));
    // No display name: Qt would append it to every window title.
}

void SetApplicationIcon() {
    QIcon icon(QStringLiteral(":/icons/marbelux.svg"));
    icon.addFile(QStringLiteral(":/icons/marbelux.png"));
    QGuiApplication::setWindowIcon(icon);
}

TMainForm* ShowMainForm() {
    auto* form = new TMainForm;
    Application()->MainForm = form;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    QTimer::singleShot(0, form, SetApplicationIcon);
    return form;
}

void OpenCommandLineFile(TMainForm& form, const QStringList& arguments) {
    if (arguments.size() > 1) form.OpenBackdrop(arguments.at(1));
}

} // namespace mx
