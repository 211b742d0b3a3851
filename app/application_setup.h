#pragma once
// What start-up gives the application before the main window is made: its
// title and its icon (the program's own artwork). Called by main() and by
// the tests, so that they see the program as it starts.
#include <QStringList>

namespace mx {

class TMainForm;

void SetUpApplication();
// The program's arguments after its own name: a file opens as the
// preview's backdrop; none changes nothing.
void OpenCommandLineFile(TMainForm& form, const QStringList& arguments);

} // namespace mx
