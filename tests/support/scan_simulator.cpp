#include "tests/support/scan_simulator.h"

#include "calibration/calibration_marks.h"
#include "platform/canvas.h"
#include "platform/fonts.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace mx::test {

namespace {

// Reflectance of paper and of the darkest ink: printers and scanners see
// neither pure white nor pure black.
constexpr double PaperWhite = 0.93;
constexpr double InkFloor = 0.07;

QTransform Rotation(double degrees) {
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    return QTransform(c, s, -s, c, 0, 0);
}

// Scan position to the sheet's millimetres.
QTransform ScanToSheet(const TScanSetup& s) {
    const double ppm = s.Dpi / MmPerInch;
    return QTransform::fromScale(1 / (ppm * s.ScaleX), 1 / (ppm * s.ScaleY)) *
           QTransform::fromTranslate(-s.SheetCentreMm.x(), -s.SheetCentreMm.y()) * Rotation(-s.SheetRotationDeg) *
           QTransform::fromTranslate(s.PaperMm.width() / 2, s.PaperMm.height() / 2);
}

// Sheet millimetres to a layer's page pixels: the printer's placement undone.
QTransform SheetToPage(const TPrintLayer& layer, QSizeF paper) {
    const TPrinterModel& p = layer.Printer;
    const QPointF c(paper.width() / 2, paper.height() / 2);
    const double dpm = layer.Dpi / MmPerInch;
    return QTransform::fromTranslate(-c.x(), -c.y()) * Rotation(-p.RotationDeg) *
           QTransform::fromTranslate(c.x() - p.OffsetXMm, c.y() - p.OffsetYMm) *
           QTransform::fromScale(dpm / p.ScaleX, dpm / p.ScaleY) *
           QTransform::fromTranslate(-layer.At.x(), -layer.At.y());
}

// One layer ready for sampling: the page in RGB32 and its mapping from
// scan positions, as plain numbers for the inner loop.
class TLayerSampler {
public:
    TLayerSampler(const QImage& page, const QTransform& fromScan)
        : page_(page.convertToFormat(QImage::Format_RGB32)), bits_(page_.constBits()), stride_(page_.bytesPerLine()),
          w_(page_.width()), h_(page_.height()), t_(fromScan) {}

    // Multiplies the ink at scan position (x, y) into the reflectances.
    void Apply(double x, double y, double& r, double& g, double& b) const {
        const double u = t_.m11() * x + t_.m21() * y + t_.dx(), v = t_.m12() * x + t_.m22() * y + t_.dy();
        if (!(u >= 0 && v >= 0 && u < w_ && v < h_)) return;
        const QRgb c = reinterpret_cast<const QRgb*>(bits_ + int(v) * stride_)[int(u)];
        constexpr double scale = (1 - InkFloor) / 255;
        r *= InkFloor + scale * qRed(c);
        g *= InkFloor + scale * qGreen(c);
        b *= InkFloor + scale * qBlue(c);
    }

private:
    QImage page_;
    const uchar* bits_;
    qsizetype stride_;
    int w_, h_;
    QTransform t_;
};

// [1 2 1] / 4 along rows and columns of one 8-bit channel.
void Blur(uchar* data, int width, int height, int pixelStride, qsizetype rowStride) {
    std::vector<int> line(width);
    for (int y = 0; y < height; ++y) {
        uchar* row = data + y * rowStride;
        for (int x = 0; x < width; ++x) line[x] = row[x * pixelStride];
        for (int x = 0; x < width; ++x)
            row[x * pixelStride] =
                uchar((line[std::max(0, x - 1)] + 2 * line[x] + line[std::min(width - 1, x + 1)] + 2) / 4);
    }
    // Down the columns a row at a time, keeping the row above as it was.
    std::vector<int> above(width), current(width);
    for (int x = 0; x < width; ++x) above[x] = data[x * pixelStride];
    for (int y = 0; y < height; ++y) {
        uchar* row = data + y * rowStride;
        const uchar* below = data + std::min(height - 1, y + 1) * rowStride;
        for (int x = 0; x < width; ++x) current[x] = row[x * pixelStride];
        for (int x = 0; x < width; ++x)
            row[x * pixelStride] = uchar((above[x] + 2 * current[x] + below[x * pixelStride] + 2) / 4);
        std::swap(above, current);
    }
}

} // namespace

quint64 TRandom::Next() {
    quint64 z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double TRandom::Uniform(double low, double high) { return low + (high - low) * (Next() >> 11) * 0x1.0p-53; }

double TRandom::Normal() {
    // The sum of four uniforms: near enough to normal for sensor noise.
    const quint64 bits = Next();
    double sum = 0;
    for (int i = 0; i < 4; ++i) sum += ((bits >> (16 * i)) & 0xFFFF) + 0.5;
    return (sum / 65536 - 2) * std::sqrt(3.0);
}

QPointF ScanPositionOf(const TScanSetup& setup, QPointF sheetMm) {
    const QPointF p = ScanToSheet(setup).inverted().map(sheetMm);
    if (!setup.Mirror) return p;
    const int width = int(std::lround(setup.BedMm.width() * setup.Dpi / MmPerInch * setup.ScaleX));
    return {width - p.x(), p.y()};
}

QImage SimulateScan(const std::vector<TPrintLayer>& layers, const TScanSetup& s) {
    const double ppm = s.Dpi / MmPerInch;
    const int width = int(std::lround(s.BedMm.width() * ppm * s.ScaleX));
    const int height = int(std::lround(s.BedMm.height() * ppm * s.ScaleY));
    QImage scan(width, height, QImage::Format_RGB32);
    const QTransform toSheet = ScanToSheet(s);
    std::vector<TLayerSampler> samplers;
    for (const TPrintLayer& layer : layers) samplers.emplace_back(layer.Page, toSheet * SheetToPage(layer, s.PaperMm));
    const double w = s.PaperMm.width(), h = s.PaperMm.height();
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(scan.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const QPointF m(toSheet.m11() * cx + toSheet.m21() * cy + toSheet.dx(),
                            toSheet.m12() * cx + toSheet.m22() * cy + toSheet.dy());
            const double bedX = (x + 0.5) / (ppm * s.ScaleX), bedY = (y + 0.5) / (ppm * s.ScaleY);
            // The lid: grey, a little lighter to one side, with the sheet's
            // shadow just outside its edges.
            const double inside = std::min({m.x(), w - m.x(), m.y(), h - m.y()});
            double lid = s.Lid + 0.08 * bedX / s.BedMm.width() - 0.05 * bedY / s.BedMm.height();
            if (inside < 0 && inside > -0.5) lid *= 0.75 + 0.5 * -inside;
            const double cover = std::clamp(0.5 + inside * ppm, 0.0, 1.0);
            double r = PaperWhite, g = PaperWhite, b = PaperWhite;
            if (cover > 0) {
                // Four samples per pixel: the pages have twice the scan's
                // resolution or more.
                r = g = b = 0;
                for (const auto& [dx, dy] : {std::pair{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}}) {
                    double sr = PaperWhite, sg = PaperWhite, sb = PaperWhite;
                    for (const TLayerSampler& layer : samplers) layer.Apply(x + dx, y + dy, sr, sg, sb);
                    r += sr / 4, g += sg / 4, b += sb / 4;
                }
            }
            const auto level = [&](double c) { return int(255 * (cover * c + (1 - cover) * lid) + 0.5); };
            row[x] = qRgb(level(r), level(g), level(b));
        }
    }
    if (!s.Colour) scan = scan.convertToFormat(QImage::Format_Grayscale8);
    const int channels = s.Colour ? 3 : 1, stride = s.Colour ? 4 : 1;
    for (int c = 0; c < channels; ++c) Blur(scan.bits() + c, width, height, stride, scan.bytesPerLine());
    TRandom random(s.Seed);
    for (int y = 0; y < height; ++y) {
        uchar* row = scan.scanLine(y);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                uchar& v = row[x * stride + c];
                v = uchar(std::clamp(int(std::floor(v + s.NoiseLevel * random.Normal() + 0.5)), 0, 255));
            }
    }
    if (s.Mirror) scan = scan.mirrored(true, false);
    if (s.JpegQuality > 0) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        scan.save(&buffer, "JPG", s.JpegQuality);
        scan = QImage::fromData(buffer.data(), "JPG");
        if (!s.Colour) scan = scan.convertToFormat(QImage::Format_Grayscale8);
    }
    return scan;
}

TScanSetup ScanSetupFor(const PrinterGeometry& g) {
    TScanSetup s;
    s.PaperMm = PaperMm(g);
    return s;
}

TScanSetup RandomPlacement(TRandom& random, const PrinterGeometry& g) {
    TScanSetup s = ScanSetupFor(g);
    s.SheetRotationDeg = random.Uniform(-2, 2);
    s.SheetCentreMm += QPointF(random.Uniform(-2, 2), random.Uniform(-3, 3));
    s.ScaleX = 1 + 0.003 * random.Sign();
    s.ScaleY = 1 + 0.003 * random.Sign();
    s.Seed = random.Next();
    return s;
}

QImage HostileScan(THostile kind, quint64 seed) {
    const TScanSetup s;
    const int width = int(s.BedMm.width() * s.Dpi / MmPerInch), height = int(s.BedMm.height() * s.Dpi / MmPerInch);
    QImage scan(width, height, QImage::Format_RGB32);
    TRandom random(seed);
    switch (kind) {
    case THostile::Blank: scan.fill(Qt::white); break;
    case THostile::Black: scan.fill(Qt::black); break;
    case THostile::Noise:
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(scan.scanLine(y));
            for (int x = 0; x < width; ++x) row[x] = QRgb(random.Next()) | 0xFF000000u;
        }
        break;
    case THostile::Photo: {
        QPainter p(&scan);
        QLinearGradient sky(0, 0, width * random.Uniform(0.2, 1), height);
        sky.setColorAt(0, QColor(40, 90, 160));
        sky.setColorAt(1, QColor(235, 215, 150));
        p.fillRect(scan.rect(), sky);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 40; ++i) {
            p.setBrush(QColor::fromRgb(QRgb(random.Next()) | 0xFF000000u));
            const QPointF at(random.Uniform(0, width), random.Uniform(0, height));
            if (i % 3 == 0)
                p.drawRect(QRectF(at, QSizeF(random.Uniform(40, 900), random.Uniform(40, 900))));
            else
                p.drawEllipse(at, random.Uniform(30, 700), random.Uniform(30, 700));
        }
        break;
    }
    }
    return scan;
}

PrinterGeometry A4Printer(int dpi) {
    PrinterGeometry g;
    g.Dpi = dpi;
    g.PaperWidth = MmToDevice(210, dpi);
    g.PaperHeight = MmToDevice(297, dpi);
    g.OffsetX = g.OffsetY = MmToDevice(4, dpi);
    return g;
}

QSizeF PaperMm(const PrinterGeometry& g) { return {DeviceToMm(g.PaperWidth, g.Dpi), DeviceToMm(g.PaperHeight, g.Dpi)}; }

QImage RenderCalibrationPage(const PrinterGeometry& g, bool back, bool marks) {
    QImage page(g.PaperWidth - 2 * g.OffsetX, g.PaperHeight - 2 * g.OffsetY, QImage::Format_Grayscale8);
    page.fill(Qt::white);
    TCanvas canvas(&page);
    if (marks) DrawCalibrationMarks(canvas, g, back);
    // The page's own text, clear of the marks.
    const auto px = [&](double mm) { return MmToDevice(mm, g.Dpi); };
    canvas.Font = WindowsFont("Arial", px(5), QFont::Bold);
    canvas.FontColor = clBlack;
    canvas.SetBkMode(TRANSPARENT);
    canvas.TextOut(px(30), px(60), back ? "Kalibrierseite Rückseite" : "Kalibrierseite Vorderseite");
    canvas.Font = WindowsFont("Arial", px(3.5));
    const char* lines[] = {"Legen Sie das Blatt mit der bedruckten Seite nach unten auf das Glas des Scanners,",
                           "mit etwas Abstand zu allen Rändern, und wählen Sie „Aus Scan kalibrieren“.",
                           "Die Marken in den Ecken und in der Mitte misst das Programm selbst."};
    for (int i = 0; i < 3; ++i) canvas.TextOut(px(30), px(72 + 6 * i), lines[i]);
    return page;
}

bool SaveScanFile(const QImage& scan, double dpi, const QString& path) {
    QImage file = scan;
    if (dpi > 0) {
        const int perMetre = int(std::lround(dpi / 0.0254));
        file.setDotsPerMeterX(perMetre);
        file.setDotsPerMeterY(perMetre);
        return file.save(path);
    }
    // Qt always states one: a PNG's is taken out again (its pHYs chunk).
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !file.save(&buffer, "PNG")) return false;
    if (const qsizetype at = png.indexOf("pHYs"); at >= 4) png.remove(at - 4, 4 + 4 + 9 + 4);
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(png) == png.size();
}

QImage RenderTextPage(QSizeF paperMm, int dpi) {
    const auto px = [&](double mm) { return MmToDevice(mm, dpi); };
    QImage page(px(paperMm.width()), px(paperMm.height()), QImage::Format_Grayscale8);
    page.fill(Qt::white);
    TCanvas canvas(&page);
    canvas.Font = WindowsFont("Arial", px(3.5));
    canvas.FontColor = clBlack;
    canvas.SetBkMode(TRANSPARENT);
    // A letter keeps its text off the paper's edges, as printers must.
    canvas.SetClipRect(QRect(px(5), px(5), px(paperMm.width() - 10), px(paperMm.height() - 10)));
    const QString words = "Kontonummer 4711 0815 Betrag Rechnung Datum Kunde Anschrift Zahlung fällig am IBAN ";
    for (double y = 12; y < paperMm.height() - 14; y += 6)
        canvas.TextOut(px(8 + std::fmod(y, 7)), px(y), words + words);
    return page;
}

} // namespace mx::test
