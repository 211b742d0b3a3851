#include "tests/support/output_readback.h"

#include "platform/canvas.h"

#include <QColor>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace mx::test {

ToolResult RunTool(const QString& program, const QStringList& args, int timeoutMs) {
    ToolResult result;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000)) {
        result.error = program + " cannot be started: " + p.errorString();
        return result;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        result.error = program + " did not finish";
        return result;
    }
    result.output = p.readAllStandardOutput();
    result.error = QString::fromLocal8Bit(p.readAllStandardError());
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return result;
}

QMap<QString, QString> PdfInfo(const QString& pdf, QString* error) {
    QMap<QString, QString> fields;
    const ToolResult r = RunTool("pdfinfo", {"-enc", "UTF-8", pdf});
    if (r.exitCode != 0) {
        if (error) *error = "pdfinfo failed: " + r.error;
        return fields;
    }
    for (const QString& line : QString::fromUtf8(r.output).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) fields.insert(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
    }
    return fields;
}

QImage RenderPdfRegion(const QString& pdf, int page, int dpi, const QRect& region, QString* error) {
    QTemporaryDir dir;
    const QString base = dir.path() + "/region";
    const ToolResult r = RunTool("pdftoppm", {"-f",        QString::number(page),
                                              "-l",        QString::number(page),
                                              "-r",        QString::number(dpi),
                                              "-x",        QString::number(region.x()),
                                              "-y",        QString::number(region.y()),
                                              "-W",        QString::number(region.width()),
                                              "-H",        QString::number(region.height()),
                                              "-aa",       "no",
                                              "-aaVector", "no",
                                              "-png",      "-singlefile",
                                              pdf,         base});
    QImage image;
    if (r.exitCode != 0 || !image.load(base + ".png")) {
        if (error) *error = "pdftoppm failed: " + r.error;
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

namespace {

// The region of a binary PPM file as ghostscript writes it.
QImage PpmRegion(const QString& path, QRect region) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const uchar* data = file.map(0, file.size());
    if (!data) return {};
    // Four fields separated by blanks and "#" comment lines; the pixels
    // start after one more blank.
    QByteArray fields[4];
    qint64 offset = 0;
    for (QByteArray& field : fields) {
        while (offset < file.size() && (QChar(char(data[offset])).isSpace() || data[offset] == '#')) {
            if (data[offset] == '#')
                while (offset < file.size() && data[offset] != '\n') ++offset;
            else
                ++offset;
        }
        while (offset < file.size() && !QChar(char(data[offset])).isSpace() && field.size() < 16)
            field += char(data[offset++]);
    }
    ++offset;
    if (fields[0] != "P6" || fields[3].toInt() != 255) return {};
    const int width = fields[1].toInt(), height = fields[2].toInt();
    if (offset + qint64(width) * height * 3 > file.size()) return {};
    if (region.isNull()) region = QRect(0, 0, width, height);
    region &= QRect(0, 0, width, height);
    QImage image(region.size(), QImage::Format_RGB32);
    for (int y = 0; y < region.height(); ++y) {
        const uchar* row = data + offset + (qint64(region.top() + y) * width + region.left()) * 3;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < region.width(); ++x) out[x] = qRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    }
    return image;
}

} // namespace

QImage RenderWithGhostscript(const QString& pdf, int page, int dpi, QString* error, const QRect& region) {
    QTemporaryDir dir;
    const QString out = dir.path() + "/page.ppm";
    const ToolResult r =
        RunTool("gs", {"-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=ppmraw", "-r" + QString::number(dpi),
                       "-dGraphicsAlphaBits=1", "-dTextAlphaBits=1", "-dFirstPage=" + QString::number(page),
                       "-dLastPage=" + QString::number(page), "-o", out, pdf});
    const QImage image = r.exitCode == 0 ? PpmRegion(out, region) : QImage();
    if (image.isNull() && error) *error = "gs failed: " + r.error + QString::fromLocal8Bit(r.output);
    return image;
}

int FillMismatches(const QImage& page, const QRect& paperRect, const QPoint& origin, int brushStyle, QRgb fg, QRgb bg,
                   QString* first) {
    const auto style = static_cast<TBrushStyle>(brushStyle);
    int mismatches = 0;
    for (int y = paperRect.top(); y <= paperRect.bottom(); ++y) {
        for (int x = paperRect.left(); x <= paperRect.right(); ++x) {
            const bool line = style == bsSolid || HatchBit(style, x - origin.x(), y - origin.y());
            const QRgb wanted = (line ? fg : bg) | 0xFF000000u;
            const QRgb got = page.valid(x, y) ? page.pixel(x, y) | 0xFF000000u : 0;
            if (got == wanted) continue;
            if (mismatches++ == 0 && first)
                *first = QString("(%1, %2): %3 statt %4").arg(x).arg(y).arg(QColor(got).name(), QColor(wanted).name());
        }
    }
    return mismatches;
}

QRect InkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            if (qRed(c) < 128 && qGreen(c) < 128 && qBlue(c) < 128) bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

} // namespace mx::test
