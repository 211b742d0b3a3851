#include "sheetscan/find_sheet.h"

#include "geometry/sheet_math.h"
#include "sheetscan/grey_image.h"
#include "sheetscan/line_fit.h"
#include "sheetscan/scan_error.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace mx {

namespace {

const QString AgainText = "Legen Sie das Blatt mit etwas Abstand zu allen Rändern auf das Glas und scannen Sie noch "
                          "einmal";

// Paper against lid: less than this many grey levels is no edge.
constexpr double LeastContrast = 20;

QString NoSheetText() {
    return "Im Scan ist kein Blatt zu erkennen. " + AgainText +
           "; ist der Deckel hell, legen Sie einen dunklen Karton über das Blatt";
}

QString SizeText(QSizeF measured, QSizeF paper, double dpi) {
    return QString("Das Blatt im Scan misst etwa %1 × %2 mm, erwartet wird ein Blatt von %3 × %4 mm. Stimmen das "
                   "Papierformat und die Auflösung des Scans (%5 dpi)?")
        .arg(qRound(measured.width()))
        .arg(qRound(measured.height()))
        .arg(qRound(paper.width()))
        .arg(qRound(paper.height()))
        .arg(qRound(dpi));
}

double Dot(QPointF a, QPointF b) { return a.x() * b.x() + a.y() * b.y(); }
double Length(QPointF a) { return std::hypot(a.x(), a.y()); }

// The grey between lid and paper: the lid is what the scan's border shows,
// the paper the brightest of the rest. Nothing when they hardly differ
// (a blank, black or noisy scan, a white lid) or the border is brighter.
std::optional<double> LidPaperThreshold(const TGreyImage::TBlocks& b) {
    std::vector<float> border;
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x)
            if (std::min({x, y, b.Width - 1 - x, b.Height - 1 - y}) < 2) border.push_back(b.At(x, y));
    std::vector<float> all = b.Values;
    const auto mid = border.begin() + border.size() / 2;
    std::nth_element(border.begin(), mid, border.end());
    const auto high = all.begin() + all.size() * 95 / 100;
    std::nth_element(all.begin(), high, all.end());
    if (*high - *mid < 1.5 * LeastContrast) return std::nullopt;
    return (*high + *mid) / 2;
}

// The blocks that are not the lid: everything bright, and everything the
// lid's dark pixels reached from the border cannot reach (text, fills).
// Returns the largest connected piece.
struct TPiece {
    std::vector<int> Cells;
    bool TouchesBorder = false;
};

TPiece LargestPiece(const TGreyImage::TBlocks& b, double threshold) {
    const int w = b.Width, h = b.Height;
    std::vector<char> lid(size_t(w) * h, 0);
    std::vector<int> queue;
    const auto seed = [&](int x, int y) {
        const int i = y * w + x;
        if (!lid[i] && b.Values[i] < threshold) lid[i] = 1, queue.push_back(i);
    };
    for (int x = 0; x < w; ++x) seed(x, 0), seed(x, h - 1);
    for (int y = 0; y < h; ++y) seed(0, y), seed(w - 1, y);
    for (size_t k = 0; k < queue.size(); ++k) {
        const int x = queue[k] % w, y = queue[k] / w;
        if (x > 0) seed(x - 1, y);
        if (x < w - 1) seed(x + 1, y);
        if (y > 0) seed(x, y - 1);
        if (y < h - 1) seed(x, y + 1);
    }
    TPiece best;
    std::vector<char> seen(lid);
    for (int start = 0; start < w * h; ++start) {
        if (seen[start]) continue;
        TPiece piece;
        seen[start] = 1;
        piece.Cells.push_back(start);
        for (size_t k = 0; k < piece.Cells.size(); ++k) {
            const int x = piece.Cells[k] % w, y = piece.Cells[k] / w;
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) piece.TouchesBorder = true;
            for (const auto& [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                if (nx < 0 || ny < 0 || nx >= w || ny >= h || seen[ny * w + nx]) continue;
                seen[ny * w + nx] = 1;
                piece.Cells.push_back(ny * w + nx);
            }
        }
        if (piece.Cells.size() > best.Cells.size()) best = std::move(piece);
    }
    return best;
}

// The piece as a rough rectangle: centre, axes and side lengths in scan
// pixels, from its moments and extents.
struct TRoughSheet {
    QPointF Centre, Long, Short; // unit axes
    double LongPx = 0, ShortPx = 0;
    double Fill = 0; // share of the rectangle the piece covers
};

TRoughSheet Rough(const TPiece& piece, int blocksWide, int factor) {
    double mx = 0, my = 0;
    for (const int c : piece.Cells) mx += c % blocksWide + 0.5, my += c / blocksWide + 0.5;
    const double n = double(piece.Cells.size());
    mx /= n, my /= n;
    double sxx = 0, sxy = 0, syy = 0;
    for (const int c : piece.Cells) {
        const double dx = c % blocksWide + 0.5 - mx, dy = c / blocksWide + 0.5 - my;
        sxx += dx * dx, sxy += dx * dy, syy += dy * dy;
    }
    const double angle = 0.5 * std::atan2(2 * sxy, sxx - syy);
    const QPointF u(std::cos(angle), std::sin(angle)), v(-u.y(), u.x());
    double minU = INFINITY, maxU = -INFINITY, minV = INFINITY, maxV = -INFINITY;
    for (const int c : piece.Cells) {
        const QPointF d(c % blocksWide + 0.5 - mx, c / blocksWide + 0.5 - my);
        minU = std::min(minU, Dot(d, u)), maxU = std::max(maxU, Dot(d, u));
        minV = std::min(minV, Dot(d, v)), maxV = std::max(maxV, Dot(d, v));
    }
    const double lu = maxU - minU + 1, lv = maxV - minV + 1;
    TRoughSheet r;
    r.Centre = QPointF(mx + (minU + maxU) / 2 * u.x() + (minV + maxV) / 2 * v.x(),
                       my + (minU + maxU) / 2 * u.y() + (minV + maxV) / 2 * v.y()) *
               factor;
    r.Long = lu >= lv ? u : v;
    r.Short = lu >= lv ? v : u;
    r.LongPx = std::max(lu, lv) * factor;
    r.ShortPx = std::min(lu, lv) * factor;
    r.Fill = n / (lu * lv);
    return r;
}

// One edge point: from `at` on the rough edge, along the outward normal,
// the place where the grey crosses the middle between lid and paper.
// Returns the distance outward from `at`, in pixels.
std::optional<double> EdgeCrossing(const TGreyImage& scan, QPointF at, QPointF outward, double pxPerMm,
                                   std::vector<double>& samples) {
    constexpr double step = 0.5;
    const double reach = 4 * pxPerMm;
    const int count = int(2 * reach / step) + 1;
    samples.resize(count);
    for (int k = 0; k < count; ++k) {
        samples[k] = scan.At(at.x() + outward.x() * (reach - k * step), at.y() + outward.y() * (reach - k * step));
        if (std::isnan(samples[k])) return std::nullopt;
    }
    const int lidEnd = std::max(1, int(1.5 * pxPerMm / step));
    const int paperStart = std::min(count - 1, int((reach + pxPerMm) / step));
    std::vector<double> part(samples.begin(), samples.begin() + lidEnd);
    std::nth_element(part.begin(), part.begin() + part.size() / 2, part.end());
    const double lid = part[part.size() / 2];
    part.assign(samples.begin() + paperStart, samples.end());
    const auto high = part.begin() + part.size() * 4 / 5;
    std::nth_element(part.begin(), high, part.end());
    const double paper = *high;
    if (paper - lid < LeastContrast) return std::nullopt;
    const int run = std::max(1, int(0.3 * pxPerMm / step));
    // The first rise through `middle` from outside that stays up: the
    // paper, not a speck on the lid.
    const auto crossing = [&](double middle, int from, int to) -> std::optional<double> {
        for (int k = std::max(1, from); k < to && k + run < count; ++k) {
            if (samples[k] < middle || samples[k - 1] >= middle) continue;
            double sum = 0;
            for (int j = k; j < k + run; ++j) sum += samples[j];
            if (sum / run < middle) continue;
            return k - 1 + (middle - samples[k - 1]) / (samples[k] - samples[k - 1]);
        }
        return std::nullopt;
    };
    const auto rough = crossing((lid + paper) / 2, 1, count);
    if (!rough) return std::nullopt;
    // The paper's shadow darkens the lid right at the edge; the edge lies
    // halfway between that and the paper.
    const int near = std::max(0, int(*rough) - int(pxPerMm / step));
    double dark = paper;
    for (int k = near; k <= int(*rough); ++k) dark = std::min(dark, samples[k]);
    const auto fine = crossing((dark + paper) / 2, near, int(*rough) + run);
    return reach - (fine ? *fine : *rough) * step;
}

} // namespace

TSheetScan FindSheet(const QImage& scan, double dpi, QSizeF paperMm) {
    return FindSheet(TGreyImage(scan), dpi, paperMm);
}

TSheetScan FindSheet(const TGreyImage& scan, double dpi, QSizeF paperMm) {
    if (scan.IsNull()) throw EScanReading("Der Scan enthält kein Bild");
    if (!(dpi > 0) || !std::isfinite(dpi)) throw EScanReading("Die Auflösung des Scans ist unbekannt");
    if (!(paperMm.width() > 0 && paperMm.height() > 0)) throw EScanReading("Das Papierformat ist unbekannt");
    const double ppm = dpi / MmPerInch;
    const int factor = std::max(1, int(std::lround(ppm)));
    const TGreyImage::TBlocks blocks = scan.Blocks(factor);
    if (blocks.Width < 8 || blocks.Height < 8) throw EScanReading(NoSheetText());

    const auto threshold = LidPaperThreshold(blocks);
    if (!threshold) throw EScanReading(NoSheetText());
    const TPiece piece = LargestPiece(blocks, *threshold);
    const double expectedPx2 = paperMm.width() * paperMm.height() * ppm * ppm;
    const double piecePx2 = double(piece.Cells.size()) * factor * factor;
    if (piece.Cells.empty() || piecePx2 < 0.1 * expectedPx2) throw EScanReading(NoSheetText());
    const TRoughSheet rough = Rough(piece, blocks.Width, factor);
    if (rough.Fill < 0.85) throw EScanReading(NoSheetText());
    const bool portrait = paperMm.height() >= paperMm.width();
    const double paperLong = portrait ? paperMm.height() : paperMm.width();
    const double paperShort = portrait ? paperMm.width() : paperMm.height();
    // Straight-edged, at the border, and no larger than the paper: a sheet
    // that the scan cut off.
    if (piece.TouchesBorder) {
        if (rough.LongPx > 1.1 * paperLong * ppm || rough.ShortPx > 1.1 * paperShort * ppm)
            throw EScanReading(NoSheetText());
        throw EScanReading("Das Blatt ist am Rand des Scans abgeschnitten. " + AgainText);
    }
    // Another format, or a resolution stated wrongly: said with the sizes
    // measured, as closely as they can be.
    const QSizeF roughMm =
        portrait ? QSizeF(rough.ShortPx / ppm, rough.LongPx / ppm) : QSizeF(rough.LongPx / ppm, rough.ShortPx / ppm);
    const double aspectError = std::abs(rough.LongPx / rough.ShortPx / (paperLong / paperShort) - 1);
    const double sizeRatio = std::sqrt(rough.LongPx * rough.ShortPx / expectedPx2);
    if (aspectError > 0.06 || sizeRatio < 0.4 || sizeRatio > 2.5) throw EScanReading(SizeText(roughMm, paperMm, dpi));

    // The sheet's axes nearest to upright; lying across, turned clockwise.
    QPointF ex = portrait ? rough.Short : rough.Long;
    if (ex.x() < -1e-9 || (std::abs(ex.x()) <= 1e-9 && ex.y() < 0)) ex = -ex;
    const QPointF ey(-ex.y(), ex.x());
    const double halfW = (portrait ? rough.ShortPx : rough.LongPx) / 2;
    const double halfH = (portrait ? rough.LongPx : rough.ShortPx) / 2;
    const QPointF tl = rough.Centre - ex * halfW - ey * halfH, tr = rough.Centre + ex * halfW - ey * halfH;
    const QPointF bl = rough.Centre - ex * halfW + ey * halfH, br = rough.Centre + ex * halfW + ey * halfH;

    // Left, top, right, bottom: from one corner to the next, and outwards.
    struct TEdge {
        QPointF From, To, Outward;
    };
    const std::array<TEdge, 4> edges{TEdge{tl, bl, -ex}, TEdge{tl, tr, -ey}, TEdge{tr, br, ex}, TEdge{bl, br, ey}};
    const QString unclear = "Die Ränder des Blattes sind im Scan nicht deutlich zu erkennen. Liegt es glatt auf dem "
                            "Glas? Hebt es sich kaum vom Deckel ab, legen Sie einen dunklen Karton darüber";
    std::array<TFittedLine, 4> lines;
    std::vector<double> samples;
    TSheetScan result;
    for (int e = 0; e < 4; ++e) {
        const TEdge& edge = edges[e];
        const double length = Length(edge.To - edge.From);
        const int profiles = std::max(10, int(length / ppm));
        std::vector<QPointF> points;
        for (int i = 0; i < profiles; ++i) {
            const double t = 0.08 + 0.84 * i / (profiles - 1);
            const QPointF at = edge.From + (edge.To - edge.From) * t;
            if (const auto d = EdgeCrossing(scan, at, edge.Outward, ppm, samples))
                points.push_back(at + edge.Outward * *d);
        }
        const auto line = FitLine(points, edge.To - edge.From, 0.5, std::max(10, profiles * 3 / 10));
        if (!line || line->Count < profiles / 2 || line->Rms > 0.2 * ppm) throw EScanReading(unclear);
        lines[e] = *line;
        result.EdgeErrorMm[e] = line->PositionError() / ppm;
    }
    const auto corner = [&](int a, int b) {
        const auto p = Intersection(lines[a], lines[b]);
        if (!p) throw EScanReading(unclear);
        return *p;
    };
    const QPointF cTL = corner(0, 1), cTR = corner(2, 1), cBR = corner(2, 3), cBL = corner(0, 3);
    const double w = paperMm.width(), h = paperMm.height();
    TSheetFrame& frame = result.Frame;
    frame.SizeMm = paperMm;
    frame.PerMmX = ((cTR - cTL) + (cBR - cBL)) / (2 * w);
    frame.PerMmY = ((cBL - cTL) + (cBR - cTR)) / (2 * h);
    frame.Origin = (cTL + cTR + cBR + cBL) / 4 - frame.PerMmX * (w / 2) - frame.PerMmY * (h / 2);

    const double margin = 0.5 * ppm;
    for (const QPointF& c : {cTL, cTR, cBR, cBL})
        if (c.x() < margin || c.y() < margin || c.x() > scan.Width() - margin || c.y() > scan.Height() - margin)
            throw EScanReading("Das Blatt ist am Rand des Scans abgeschnitten. " + AgainText);
    result.Dpi = dpi;
    result.ScanScaleX = Length(frame.PerMmX) / ppm;
    result.ScanScaleY = Length(frame.PerMmY) / ppm;
    if (std::abs(result.ScanScaleX - 1) > 0.03 || std::abs(result.ScanScaleY - 1) > 0.03)
        throw EScanReading(SizeText({w * result.ScanScaleX, h * result.ScanScaleY}, paperMm, dpi));
    // A sheet's corners are right angles; a scanner's axes nearly so.
    const double skew = Dot(frame.PerMmX, frame.PerMmY) / (Length(frame.PerMmX) * Length(frame.PerMmY));
    if (std::abs(skew) > std::sin(1.5 * std::numbers::pi / 180)) throw EScanReading(unclear);
    return result;
}

} // namespace mx
