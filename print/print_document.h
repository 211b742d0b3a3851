#pragma once
// A document on a printer, the one way every job, test page and
// calibration page is printed: geometry read first, title, pages with a new
// page between two, progress, and nothing half-made sent.
#include <functional>

class QString;

namespace mx {

class TCanvas;
class TPrinter;
struct PrinterGeometry;

// Reads the printer's geometry, opens a document with the title, lets draw
// fill each of `pages` pages (at least one; draw gets the page's index from
// 0) and sends it; progress hears the share done after each page. A
// failure drops the document. False when the user cancelled the choice of
// where to print. Raises EPrinter.
bool PrintDocument(TPrinter& printer, const QString& title, int pages,
                   const std::function<void(TCanvas&, const PrinterGeometry&, int page)>& draw,
                   const std::function<void(int percent)>& progress = {});

} // namespace mx
