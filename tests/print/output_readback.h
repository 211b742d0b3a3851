#pragma once
// Reading back what was really printed: PDF facts through pdfinfo, page
// regions rendered through pdftoppm, PostScript turned into PDF through
// ghostscript, and the inked rectangle of a rendered region.
#include <QImage>
#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>

namespace mx::test {

struct ToolResult {
    int exitCode = -1;
    QByteArray output;
    QString error; // stderr, or why the tool could not run
};

ToolResult RunTool(const QString& program, const QStringList& args, int timeoutMs = 120000);

// pdfinfo's fields ("Pages", "Title", "Page size", ...); empty on failure,
// with the reason in *error.
QMap<QString, QString> PdfInfo(const QString& pdf, QString* error = nullptr);

// Renders the region of a page (1-based) at dpi; region in pixels at that
// resolution from the paper's top-left corner. Null on failure.
QImage RenderPdfRegion(const QString& pdf, int page, int dpi, const QRect& region, QString* error = nullptr);

// Converts a PostScript file into PDF keeping coordinates at dpi; false
// with the reason in *error.
bool PostScriptToPdf(const QString& ps, const QString& pdf, int dpi, QString* error = nullptr);

// The bounding box of the image's dark pixels (all channels below 128);
// null when there are none.
QRect InkBounds(const QImage& image);

} // namespace mx::test
