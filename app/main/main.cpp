// Start-up: the application, its title, the main window, the loop. A file
// named on the command line is opened as the preview's backdrop.
#include "app/application_setup.h"
#include "app/main_form.h"
#include "platform/application.h"
#include "platform/qt_application.h"

int main(int argc, char** argv) {
    mx::TQtApplication app(argc, argv);
    mx::SetUpApplication();
    auto* form = new mx::TMainForm;
    mx::Application()->MainForm = form;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    mx::OpenCommandLineFile(*form, QCoreApplication::arguments());
    return app.exec();
}
