#pragma once
// What start-up gives the application before the main window is made: its
// title and its icon (the program's own artwork). Called by main() and by
// the tests, so that they see the program as it starts.
#include <QStringList>

namespace mx {

class TMainForm;

void SetUpApplication();
// The window icon (the icon engine takes a while to load).
void SetApplicationIcon();
// Makes the main window, the application's main form, and shows it; the
// icon follows once the window is on its way to the screen. The window
// deletes itself when closed.
TMainForm* ShowMainForm();
// The program's arguments after its own name: a file opens as the
// preview's backdrop; none changes nothing.
void OpenCommandLineFile(TMainForm& form, const QStringList& arguments);

} // namespace mx
