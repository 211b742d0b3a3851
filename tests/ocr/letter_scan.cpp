#include "tests/ocr/letter_scan.h"

#include "tests/support/output_readback.h"

#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTransform>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace mx::test {

namespace {

constexpr double MmPerInch = 25.4;
constexpr double PointsPerInch = 72;
constexpr int PdfResolution = 1200;

struct TLine {
    double XMm, BaselineMm, Points;
    bool Bold;
    const char* Text;
};

// A letter of a landlady to her tenant: address, tax number, IBAN, e-mail,
// the body in 12 points and the small print in 10.
const TLine Letter[] = {
    {25, 45, 10, false, "Anna Beispielfrau · Lindenstraße 12 · 80331 München"},
    {25, 58, 12, false, "Herrn"},
    {25, 64, 12, false, "Jürgen Müller-Lüdenscheidt"},
    {25, 70, 12, false, "Kastanienallee 7b"},
    {25, 76, 12, false, "10435 Berlin"},
    {130, 58, 10, false, "Steuernummer: 143/215/30018"},
    {130, 63, 10, false, "Telefon: 089 4567 2310"},
    {130, 68, 10, false, "Datum: 14. März 2024"},
    {25, 100, 12, true, "Erstattung der Nebenkosten für das Jahr 2023"},
    {25, 114, 12, false, "Sehr geehrter Herr Müller-Lüdenscheidt,"},
    {25, 126, 12, false, "vielen Dank für Ihre Abrechnung vom 2. Februar. Nach Prüfung"},
    {25, 132, 12, false, "der Unterlagen ergibt sich zu Ihren Gunsten ein Betrag von"},
    {25, 138, 12, false, "318,40 Euro. Wir überweisen ihn innerhalb von vierzehn Tagen"},
    {25, 144, 12, false, "auf Ihr Konto bei der Berliner Volksbank."},
    {25, 156, 12, false, "Bitte beachten Sie, dass die Heizkosten künftig monatlich"},
    {25, 162, 12, false, "abgerechnet werden. Für Rückfragen erreichen Sie mich"},
    {25, 168, 12, false, "werktags zwischen neun und zwölf Uhr."},
    {25, 182, 12, false, "Mit freundlichen Grüßen"},
    {25, 200, 12, false, "Anna Beispielfrau"},
    {25, 225, 10, false, "Hinweis: Diese Abrechnung wurde maschinell erstellt. Einwände richten Sie"},
    {25, 230, 10, false, "bitte schriftlich innerhalb eines Monats an die oben genannte Anschrift."},
    {25, 270, 10, false, "Bankverbindung: Sparkasse München · IBAN DE89 3704 0044 0532 0130 00 · BIC COBADEFFXXX"},
    {25, 275, 10, false, "E-Mail: anna.beispielfrau@example.de · Steuernummer 143/215/30018"},
};

bool WriteLetterPdf(const QString& path) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(PdfResolution);
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const double unitsPerMm = PdfResolution / MmPerInch;
    for (const TLine& line : Letter) {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(line.Points);
        font.setBold(line.Bold);
        painter.setFont(font);
        painter.drawText(QPointF(line.XMm, line.BaselineMm) * unitsPerMm, QString::fromUtf8(line.Text));
    }
    return painter.end();
}

struct TPdfWord {
    QString Text;
    QRectF Points;
};

QList<TPdfWord> PdfWords(const QString& pdf, QString& error) {
    const ToolResult r = RunTool(QStringLiteral("pdftotext"), {"-bbox-layout", pdf, "-"});
    if (r.exitCode != 0) {
        error = QStringLiteral("pdftotext failed: ") + r.error;
        return {};
    }
    QList<TPdfWord> words;
    QXmlStreamReader xml(r.output);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("word")) continue;
        const auto a = xml.attributes();
        const QPointF from(a.value("xMin").toDouble(), a.value("yMin").toDouble());
        const QPointF to(a.value("xMax").toDouble(), a.value("yMax").toDouble());
        words.append({xml.readElementText(), QRectF(from, to)});
    }
    if (xml.hasError()) error = QStringLiteral("pdftotext output: ") + xml.errorString();
    return words;
}

QImage RenderGrey(const QString& pdf, int dpi, QString& error) {
    const QString base = pdf + QStringLiteral(".page");
    const ToolResult r =
        RunTool(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-gray", "-png", "-singlefile", pdf, base});
    // A page at 600 dpi is beyond Qt's default limit for one image; the
    // limit is the process's.
    QImageReader::setAllocationLimit(1024);
    const QImage page = QImageReader(base + QStringLiteral(".png")).read();
    if (r.exitCode != 0 || page.isNull()) {
        error = QStringLiteral("pdftoppm failed: ") + r.error;
        return {};
    }
    return page.convertToFormat(QImage::Format_Grayscale8);
}

// The bounds of the word's ink (its dark pixels inside its box) on the
// skewed page: each pixel taken through the skew. The box when it has none.
QRectF SkewedInk(const QImage& page, const QRectF& box, const QTransform& skew) {
    const QRect area = box.toAlignedRect().intersected(page.rect());
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = page.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x)
            if (row[x] < 128) {
                const QPointF p = skew.map(QPointF(x + 0.5, y + 0.5));
                left = std::min(left, p.x()), right = std::max(right, p.x());
                top = std::min(top, p.y()), bottom = std::max(bottom, p.y());
            }
    }
    if (left > right) return skew.mapRect(box);
    return QRectF(QPointF(left - 0.5, top - 0.5), QPointF(right + 0.5, bottom + 0.5));
}

// Turned about the page's centre, as a sheet lying askew on the glass.
QImage Skewed(const QImage& page, const QTransform& skew) {
    QImage turned(page.size(), QImage::Format_RGB32);
    turned.fill(Qt::white);
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(skew);
    painter.drawImage(0, 0, page);
    painter.end();
    return turned.convertToFormat(QImage::Format_Grayscale8);
}

// A scanner's light noise: a little grain everywhere and a few specks.
void AddNoise(QImage& page, quint32 seed) {
    QRandomGenerator random(seed);
    for (int y = 0; y < page.height(); ++y) {
        uchar* row = page.scanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            // The sum of four uniform numbers is close to a normal
            // distribution; its deviation here is about 6 grey levels.
            const int grain = (int(random.bounded(21)) + int(random.bounded(21)) + int(random.bounded(21)) +
                               int(random.bounded(21)) - 40);
            row[x] = uchar(std::clamp(row[x] + grain, 0, 255));
        }
    }
    const int specks = page.width() * page.height() / 20000;
    for (int i = 0; i < specks; ++i)
        page.scanLine(int(random.bounded(page.height())))[random.bounded(page.width())] = uchar(random.bounded(96));
}

} // namespace

TLetterScan ScanOfLetter(int dpi, double degrees) {
    TLetterScan scan;
    scan.Dpi = dpi;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("brief.pdf"));
    if (!WriteLetterPdf(pdf)) {
        scan.Error = QStringLiteral("the letter could not be written");
        return scan;
    }
    const QList<TPdfWord> words = PdfWords(pdf, scan.Error);
    const QImage clean = RenderGrey(pdf, dpi, scan.Error);
    if (!scan.Error.isEmpty()) return scan;
    const QPointF centre = QRectF(clean.rect()).center();
    const QTransform skew =
        QTransform().translate(centre.x(), centre.y()).rotate(degrees).translate(-centre.x(), -centre.y());
    const double pixelsPerPoint = dpi / PointsPerInch;
    for (const TPdfWord& w : words) {
        const QRectF box(w.Points.topLeft() * pixelsPerPoint, w.Points.bottomRight() * pixelsPerPoint);
        scan.Words.append({w.Text, skew.mapRect(box), SkewedInk(clean, box, skew)});
    }
    scan.Image = Skewed(clean, skew);
    AddNoise(scan.Image, quint32(dpi));
    return scan;
}

TAccuracy MeasureAccuracy(const TTextWords& found, const TLetterScan& scan, double toleranceMm) {
    const double tolerance = toleranceMm / MmPerInch * scan.Dpi;
    QHash<QString, QList<const TTextWord*>> byText;
    for (const TTextWord& w : found) byText[w.Text].append(&w);
    TAccuracy accuracy;
    for (const TTrueWord& truth : scan.Words) {
        if (truth.Text.size() < 4) continue;
        ++accuracy.Words;
        // The same text nearest to where the word is (a word may recur).
        const TTextWord* best = nullptr;
        const auto distance = [&](const TTextWord* w) {
            return QLineF(w->Box.center(), truth.PdfBox.center()).length();
        };
        for (const TTextWord* w : byText.value(truth.Text))
            if (!best || distance(w) < distance(best)) best = w;
        if (!best) {
            accuracy.Missed << truth.Text;
            continue;
        }
        const QRectF box = best->Box, pdf = truth.PdfBox, ink = truth.InkBox;
        if (std::abs(box.left() - pdf.left()) > tolerance || std::abs(box.right() - pdf.right()) > tolerance ||
            box.top() < pdf.top() - tolerance || box.bottom() > pdf.bottom() + tolerance) {
            accuracy.Missed << truth.Text + QStringLiteral(" (box)");
            continue;
        }
        ++accuracy.Found;
        const double edge = std::max({std::abs(box.left() - ink.left()), std::abs(box.right() - ink.right()),
                                      std::abs(box.top() - ink.top()), std::abs(box.bottom() - ink.bottom())});
        accuracy.FoundAtInk += edge <= tolerance;
        accuracy.WorstInkEdgeMm = std::max(accuracy.WorstInkEdgeMm, edge / scan.Dpi * MmPerInch);
    }
    return accuracy;
}

bool LineContains(const TTextWords& words, const QString& text) {
    QHash<int, QString> lines;
    for (const TTextWord& w : words) lines[w.Line] += w.Text;
    return std::any_of(lines.begin(), lines.end(), [&](const QString& line) { return line.contains(text); });
}

} // namespace mx::test
