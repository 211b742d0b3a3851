#include "print/print_job.h"

#include "print/page_renderer.h"
#include "print/print_document.h"

namespace mx {

QString JobTitle(bool back) {
    return back ? QStringLiteral("Dokumenten-Rückseite vernichten") : QStringLiteral("Dokument vernichten");
}

bool PrintJob(TPrinter& printer, const TPrintJob& job, const std::function<void(int percent)>& progress) {
    const bool filled = job.Copies >= 1;
    return PrintDocument(
        printer, job.Title, job.Copies,
        [&](TCanvas& canvas, const PrinterGeometry& g, int) {
            if (filled) TPageRenderer(canvas, g, job.Correction).FillAreas(job);
        },
        filled ? progress : nullptr);
}

} // namespace mx
