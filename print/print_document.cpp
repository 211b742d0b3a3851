#include "print/print_document.h"

#include "platform/exception.h"
#include "platform/printer.h"
#include "print/overprint_rect.h"

#include <QString>
#include <algorithm>

namespace mx {

bool PrintDocument(TPrinter& printer, const QString& title, int pages,
                   const std::function<void(TCanvas&, const PrinterGeometry&, int page)>& draw,
                   const std::function<void(int percent)>& progress) {
    const PrinterGeometry g = ReadPrinterGeometry(printer);
    if (g.Dpi <= 0 || g.PaperWidth <= 0 || g.PaperHeight <= 0)
        throw EPrinter("Der Drucker meldet keine brauchbare Papiergröße");
    printer.SetTitle(title);
    if (!printer.BeginDoc()) return false;
    TDocumentGuard guard(printer);
    pages = std::max(1, pages);
    for (int page = 0; page < pages; ++page) {
        // A new page starts with a fresh drawing state: everything is set anew.
        draw(printer.Canvas(), g, page);
        if (progress) progress(int((page + 1) * 100LL / pages));
        if (page + 1 < pages) printer.NewPage();
    }
    printer.EndDoc();
    return true;
}

} // namespace mx
