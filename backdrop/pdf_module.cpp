#include "backdrop/pdf_module.h"

#include "backdrop/backdrop_error.h"
#include "backdrop/page_source.h"
#include "platform/module_loader.h"

namespace mx {

std::unique_ptr<TPageSource> OpenPdf(const QByteArray& data, const QString& path) {
    const auto open =
        reinterpret_cast<TOpenPdfFunction>(ResolveModuleSymbol(QStringLiteral(MARBELUX_PDF_MODULE), OpenPdfSymbol));
    if (!open)
        throw EBackdrop(QStringLiteral("Marbelux kann das PDF-Dokument %1 nicht öffnen: die PDF-Unterstützung (%2) "
                                       "ist nicht installiert")
                            .arg(QuotedFileName(path), QStringLiteral(MARBELUX_PDF_MODULE)));
    TPdfOpenStatus status = TPdfOpenStatus::Damaged;
    std::unique_ptr<TPageSource> source(open(data, status));
    if (source) return source;
    if (status == TPdfOpenStatus::Locked)
        throw EBackdrop(
            QStringLiteral("Das PDF-Dokument %1 ist mit einem Kennwort geschützt").arg(QuotedFileName(path)));
    throw EBackdrop(QStringLiteral("Das PDF-Dokument %1 ist beschädigt").arg(QuotedFileName(path)));
}

} // namespace mx
