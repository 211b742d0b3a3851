#pragma once
// The main window's settings store.
class QWidget;

namespace mx {

class TFormStorage;

// Creates FormStorage1 on the main window, listing the fill index and the
// two colours, and starts it. Call it once the window's controls exist.
// The window must call WindowDestroying() on it at the start of its
// destructor.
TFormStorage* AttachMainFormStorage(QWidget* form);

} // namespace mx
