#include "tests/print/output_readback.h"

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

bool PostScriptToPdf(const QString& ps, const QString& pdf, int dpi, QString* error) {
    const ToolResult r = RunTool("gs", {"-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=pdfwrite",
                                        "-r" + QString::number(dpi), "-o", pdf, ps});
    if (r.exitCode == 0 && QFile::exists(pdf)) return true;
    if (error) *error = "gs failed: " + r.error + QString::fromLocal8Bit(r.output);
    return false;
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
