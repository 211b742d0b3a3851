#pragma once
// What start-up gives the application before the main window is made: its
// title and its icon (the program's own artwork). Called by main() and by
// the tests, so that they see the program as it starts.
namespace mx {

void SetUpApplication();

} // namespace mx
