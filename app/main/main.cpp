// Start-up: the application, its title, the main window, the loop. A file
// named on the command line is opened as the preview's backdrop.
#include "app/application_setup.h"
#include "app/main_form.h"
#include "platform/printer.h"
#include "platform/qt_application.h"

int main(int argc, char** argv) {
    mx::TQtApplication app(argc, argv);
    mx::SetUpApplication();
    // Meanwhile the window is made: a print system slow to answer holds up
    // nothing, and the preview shows the sheet once it has answered.
    mx::Printer()->AskInBackground();
    mx::OpenCommandLineFile(*mx::ShowMainForm(), QCoreApplication::arguments());
    return app.exec();
}
