#pragma once
// The program's optional modules (PDF pages, scanning, text recognition):
// each links a heavy library, so it is opened only when first needed, from
// the program's folder, the installed library folder's marbelux/ or, for the
// tests, $MARBELUX_MODULE_DIR.
#include <QString>
#include <QtGlobal>

namespace mx {

// The module's entry point, loaded once and never unloaded (objects it made
// run its code); null when no folder holds a module that has it. Thread-safe.
QFunctionPointer ResolveModuleSymbol(const QString& moduleFileName, const char* symbol);

} // namespace mx
