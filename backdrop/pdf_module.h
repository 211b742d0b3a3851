#pragma once
// Opens PDF documents through the PDF module, which is loaded on first use
// from the program's folder or the installed library folder (or, for the
// tests, from $MARBELUX_MODULE_DIR).
#include <memory>

class QByteArray;
class QString;

namespace mx {

class TPageSource;

// Throws EBackdrop naming path when the document is damaged or locked, or
// when the module cannot be had.
std::unique_ptr<TPageSource> OpenPdf(const QByteArray& data, const QString& path);

} // namespace mx
