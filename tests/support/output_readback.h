#pragma once
// Reading back what was really printed: PDF facts through pdfinfo, page
// regions rendered through pdftoppm, whole pages rendered through
// ghostscript at a device's resolution, and the inked rectangle of a
// rendered region.
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

// Renders a page (1-based) with ghostscript at dpi without anti-aliasing,
// as the print filters rasterise it for a device of that resolution, and
// returns the region (pixels from the paper's corner; the whole page when
// null). Null on failure.
QImage RenderWithGhostscript(const QString& pdf, int page, int dpi, QString* error = nullptr, const QRect& region = {});

// Compares every pixel of paperRect (pixels of a page rendered at the
// device resolution) with the fill rule's pattern anchored at the printable
// area's corner `origin`: line pixels fg, gaps bg. Returns the number of
// pixels that differ; *first describes the first of them.
int FillMismatches(const QImage& page, const QRect& paperRect, const QPoint& origin, int brushStyle, QRgb fg, QRgb bg,
                   QString* first = nullptr);

// The bounding box of the image's dark pixels (all channels below 128);
// null when there are none.
QRect InkBounds(const QImage& image);

} // namespace mx::test
