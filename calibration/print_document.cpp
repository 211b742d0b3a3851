#include "calibration/print_document.h"

#include "platform/exception.h"
#include "platform/printer.h"
#include "print/overprint_rect.h"

namespace mx {

bool PrintOnePage(TPrinter& printer, const QString& title,
                  const std::function<void(TCanvas&, const PrinterGeometry&)>& draw) {
    const PrinterGeometry g = ReadPrinterGeometry(printer);
    if (g.Dpi <= 0 || g.PaperWidth <= 0 || g.PaperHeight <= 0)
        throw EPrinter("Der Drucker meldet keine brauchbare Papiergröße");
    printer.SetTitle(title);
    if (!printer.BeginDoc()) return false;
    TDocumentGuard guard(printer);
    draw(printer.Canvas(), g);
    printer.EndDoc();
    return true;
}

} // namespace mx
