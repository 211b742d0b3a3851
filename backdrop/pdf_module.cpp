#include "backdrop/pdf_module.h"

#include "backdrop/backdrop_error.h"
#include "backdrop/page_source.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace mx {

namespace {

QStringList ModuleFolders() {
    QStringList folders;
    if (qEnvironmentVariableIsSet("MARBELUX_MODULE_DIR")) folders << qEnvironmentVariable("MARBELUX_MODULE_DIR");
    // The program's own folder works without an application object.
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!program.isEmpty()) {
        const QDir dir = QFileInfo(program).dir();
        folders << dir.path() << QDir::cleanPath(dir.filePath(QStringLiteral(MARBELUX_PDF_MODULE_SUBDIR)));
    }
    return folders;
}

// The module's entry point; null when no folder holds the module. Loaded
// once and never unloaded: the sources it made run its code.
TOpenPdfFunction OpenFunction() {
    static TOpenPdfFunction open = [] {
        for (const QString& folder : ModuleFolders()) {
            QLibrary library(QDir(folder).filePath(QStringLiteral(MARBELUX_PDF_MODULE)));
            if (library.load())
                if (auto f = reinterpret_cast<TOpenPdfFunction>(library.resolve(OpenPdfSymbol))) return f;
        }
        return TOpenPdfFunction(nullptr);
    }();
    return open;
}

} // namespace

std::unique_ptr<TPageSource> OpenPdf(const QByteArray& data, const QString& path) {
    const TOpenPdfFunction open = OpenFunction();
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
