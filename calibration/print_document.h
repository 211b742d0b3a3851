#pragma once
// A one-page document on a printer, the way the jobs open and close theirs.
#include <functional>

class QString;

namespace mx {

class TCanvas;
class TPrinter;
struct PrinterGeometry;

// Reads the printer's geometry, opens a document with the title, lets draw
// fill its page and sends it; a failure drops the document. False when the
// user cancelled the choice of where to print. Raises EPrinter.
bool PrintOnePage(TPrinter& printer, const QString& title,
                  const std::function<void(TCanvas&, const PrinterGeometry&)>& draw);

} // namespace mx
