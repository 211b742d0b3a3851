#include "calibration/mark_finder.h"

#include "calibration/calibration_marks.h"
#include "sheetscan/grey_image.h"
#include "sheetscan/line_fit.h"
#include "sheetscan/sheet_frame.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace mx {

namespace {

// The rough search runs on the sheet resampled at this pitch: fine enough
// for the squares, coarse enough to be quick.
constexpr double PitchMm = 0.25;
// The rough template: the mark's squares and the white around them.
constexpr double SupportHalfMm = 5.0;
constexpr double LeastScore = 0.6;
constexpr double LeastContrast = 40;
// Each edge is looked for this far either side of where it should be.
constexpr double ProfileReachMm = 0.6;

int Cells(double mm) { return int(std::lround(mm / PitchMm)); }

template <class T>
T Median(std::vector<T> v) {
    const auto mid = v.begin() + v.size() / 2;
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// A square window of the sheet, centred on a point, sampled at the pitch.
struct TWindow {
    int Size = 0; // cells per side, odd
    QPointF CentreMm;
    std::vector<double> Values;

    double At(int i, int j) const { return Values[size_t(j) * Size + i]; }
    QPointF CellMm(double i, double j) const {
        const double half = (Size - 1) / 2.0;
        return CentreMm + QPointF((i - half) * PitchMm, (j - half) * PitchMm);
    }
};

TWindow Resample(const TGreyImage& scan, const TSheetFrame& frame, QPointF centreMm, double halfMm) {
    TWindow w;
    w.Size = 2 * Cells(halfMm) + 1;
    w.CentreMm = centreMm;
    w.Values.resize(size_t(w.Size) * w.Size);
    std::vector<double> inside;
    for (int j = 0; j < w.Size; ++j)
        for (int i = 0; i < w.Size; ++i) {
            const QPointF p = frame.ToScan(w.CellMm(i, j));
            const double v = scan.At(p.x(), p.y());
            w.Values[size_t(j) * w.Size + i] = v;
            if (!std::isnan(v)) inside.push_back(v);
        }
    // Beyond the scan's border: the window's typical grey, which no mark has.
    const double fill = inside.empty() ? 0 : Median(inside);
    for (double& v : w.Values)
        if (std::isnan(v)) v = fill;
    return w;
}

// Sums over square boxes of cells through summed-area tables.
class TBoxSums {
public:
    explicit TBoxSums(const TWindow& w) : n_(w.Size + 1), s_(size_t(n_) * n_), q_(size_t(n_) * n_) {
        for (int j = 0; j < w.Size; ++j)
            for (int i = 0; i < w.Size; ++i) {
                const double v = w.At(i, j);
                s_[Index(i + 1, j + 1)] = v + s_[Index(i, j + 1)] + s_[Index(i + 1, j)] - s_[Index(i, j)];
                q_[Index(i + 1, j + 1)] = v * v + q_[Index(i, j + 1)] + q_[Index(i + 1, j)] - q_[Index(i, j)];
            }
    }
    // Cells [ci - h, ci + h] x [cj - h, cj + h].
    double Sum(int ci, int cj, int h) const { return Box(s_, ci, cj, h); }
    double Squares(int ci, int cj, int h) const { return Box(q_, ci, cj, h); }

private:
    size_t Index(int i, int j) const { return size_t(j) * n_ + i; }
    double Box(const std::vector<double>& t, int ci, int cj, int h) const {
        const int l = ci - h, r = ci + h + 1, top = cj - h, b = cj + h + 1;
        return t[Index(r, b)] - t[Index(l, b)] - t[Index(r, top)] + t[Index(l, top)];
    }
    int n_;
    std::vector<double> s_, q_;
};

struct TRough {
    QPointF CentreMm;
    double Score = -1;
};

// The place in the window where the pattern correlates best with the mark:
// dark ring and core, light hole and surround.
TRough RoughSearch(const TWindow& w) {
    const TBoxSums sums(w);
    const int hs = Cells(SupportHalfMm), ho = Cells(MarkOuterHalfMm), hi = Cells(MarkRingInnerHalfMm),
              hc = Cells(MarkCoreHalfMm);
    const auto side = [](int h) { return double(2 * h + 1) * (2 * h + 1); };
    const double n = side(hs), k = side(ho) - side(hi) + side(hc);
    const double templateVariance = k - k * k / n;
    std::vector<double> scores(size_t(w.Size) * w.Size, -1);
    TRough best;
    int bi = 0, bj = 0;
    for (int cj = hs; cj < w.Size - hs; ++cj)
        for (int ci = hs; ci < w.Size - hs; ++ci) {
            const double all = sums.Sum(ci, cj, hs);
            const double dark = sums.Sum(ci, cj, ho) - sums.Sum(ci, cj, hi) + sums.Sum(ci, cj, hc);
            const double variance = sums.Squares(ci, cj, hs) - all * all / n;
            if (variance <= 1e-9) continue;
            const double score = -(dark - all * k / n) / std::sqrt(variance * templateVariance);
            scores[size_t(cj) * w.Size + ci] = score;
            if (score > best.Score) best.Score = score, bi = ci, bj = cj;
        }
    if (best.Score < 0) return best;
    // Between cells by a parabola through the neighbours.
    const auto at = [&](int i, int j) { return scores[size_t(j) * w.Size + i]; };
    const auto vertex = [](double a, double b, double c) {
        const double d = a - 2 * b + c;
        return d < 0 ? std::clamp(0.5 * (a - c) / d, -0.5, 0.5) : 0.0;
    };
    double di = 0, dj = 0;
    if (bi > hs && bi < w.Size - hs - 1) di = vertex(at(bi - 1, bj), at(bi, bj), at(bi + 1, bj));
    if (bj > hs && bj < w.Size - hs - 1) dj = vertex(at(bi, bj - 1), at(bi, bj), at(bi, bj + 1));
    best.CentreMm = w.CellMm(bi + di, bj + dj);
    return best;
}

// Paper and ink around a mark found roughly: the white just outside the
// ring, the ring itself.
bool Levels(const TWindow& w, QPointF centreMm, double& white, double& black) {
    std::vector<double> light, dark;
    for (int j = 0; j < w.Size; ++j)
        for (int i = 0; i < w.Size; ++i) {
            const QPointF d = w.CellMm(i, j) - centreMm;
            const double r = std::max(std::abs(d.x()), std::abs(d.y()));
            if (r >= MarkOuterHalfMm + 0.5 && r <= SupportHalfMm) light.push_back(w.At(i, j));
            if (r >= MarkRingInnerHalfMm + 0.3 && r <= MarkOuterHalfMm - 0.3) dark.push_back(w.At(i, j));
        }
    if (light.empty() || dark.empty()) return false;
    white = Median(light);
    black = Median(dark);
    return white - black >= LeastContrast;
}

struct TSquare {
    double HalfMm;
    bool DarkInside; // the ink lies inside the square's edge
};
constexpr TSquare Squares[3] = {{MarkOuterHalfMm, true}, {MarkRingInnerHalfMm, false}, {MarkCoreHalfMm, true}};

struct TCentre {
    QPointF Mm;
    double ErrorMm = INFINITY;
};

// The square's centre from lines fitted to its four edges: the mean of its
// corners. Nothing when an edge cannot be made out or the square has not
// the size it should.
std::optional<TCentre> MeasureSquare(const TGreyImage& scan, const TSheetFrame& frame, QPointF centreMm,
                                     const TSquare& square, double middle) {
    const double ppm = frame.PixelsPerMm();
    const double along = 1 / ppm, step = 0.25 / ppm;
    const double a = square.HalfMm, span = a - ProfileReachMm - 0.1;
    if (span <= 0) return std::nullopt;
    // Left, top, right, bottom: outward normal and the direction along.
    const QPointF normals[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    std::optional<TFittedLine> lines[4];
    std::vector<double> profile;
    for (int s = 0; s < 4; ++s) {
        const QPointF n = normals[s], t(-n.y(), n.x());
        std::vector<QPointF> points;
        const int profiles = 2 * int(span / along) + 1;
        for (int p = 0; p < profiles; ++p) {
            const double u = (p - profiles / 2) * along;
            const int count = int(2 * ProfileReachMm / step) + 1;
            profile.resize(count);
            bool inside = true;
            for (int k = 0; k < count && inside; ++k) {
                const QPointF at = frame.ToScan(centreMm + n * (a - ProfileReachMm + k * step) + t * u);
                profile[k] = scan.At(at.x(), at.y());
                inside = !std::isnan(profile[k]);
            }
            if (!inside) continue;
            // The crossing nearest the expected edge, in the expected sense.
            double bestR = NAN;
            for (int k = 1; k < count; ++k) {
                const double v0 = profile[k - 1], v1 = profile[k];
                const bool crosses = square.DarkInside ? (v0 < middle && v1 >= middle) : (v0 >= middle && v1 < middle);
                if (!crosses) continue;
                const double r = a - ProfileReachMm + (k - 1 + (middle - v0) / (v1 - v0)) * step;
                if (std::isnan(bestR) || std::abs(r - a) < std::abs(bestR - a)) bestR = r;
            }
            if (!std::isnan(bestR)) points.push_back(centreMm + n * bestR + t * u);
        }
        lines[s] = FitLine(points, t, 0.5 / ppm, std::max(4, profiles / 2));
        if (!lines[s]) return std::nullopt;
    }
    QPointF sum;
    for (int c = 0; c < 4; ++c) {
        const auto corner = Intersection(*lines[c], *lines[(c + 1) % 4]);
        if (!corner) return std::nullopt;
        sum += *corner;
    }
    // Ink spread and the printer's scale change a square's size a little;
    // anything else is not this mark.
    const double width = (lines[2]->Point - lines[0]->Point).x(), height = (lines[3]->Point - lines[1]->Point).y();
    if (std::abs(width - 2 * a) > 0.4 || std::abs(height - 2 * a) > 0.4) return std::nullopt;
    const double ex = std::hypot(lines[0]->PositionError(), lines[2]->PositionError()) / 2;
    const double ey = std::hypot(lines[1]->PositionError(), lines[3]->PositionError()) / 2;
    return TCentre{sum / 4, std::hypot(ex, ey)};
}

// The mark's centre from its squares, each weighed by how well it is known.
std::optional<TCentre> Refine(const TGreyImage& scan, const TSheetFrame& frame, QPointF centreMm, double middle) {
    QPointF sum;
    double weights = 0;
    for (int i = 0; i < 3; ++i) {
        const auto c = MeasureSquare(scan, frame, centreMm, Squares[i], middle);
        if (!c) {
            if (i < 2) return std::nullopt; // the ring makes the mark
            continue;
        }
        const double w = 1 / std::max(c->ErrorMm * c->ErrorMm, 1e-8);
        sum += c->Mm * w;
        weights += w;
    }
    return TCentre{sum / weights, 1 / std::sqrt(weights)};
}

unsigned ReadCode(const TGreyImage& scan, const TSheetFrame& frame, QPointF centreMm, double white, double black) {
    unsigned code = 0;
    const double reach = MarkCodeHalfMm * 0.6;
    for (int slot = 0; slot < CodeSlotCount; ++slot) {
        const QPointF at = centreMm + CodeSlotOffsetMm(slot);
        double sum = 0;
        int n = 0;
        for (int j = -2; j <= 2; ++j)
            for (int i = -2; i <= 2; ++i) {
                const QPointF p = frame.ToScan(at + QPointF(i, j) * (reach / 2));
                const double v = scan.At(p.x(), p.y());
                if (!std::isnan(v)) sum += v, ++n;
            }
        if (n > 0 && (white - sum / n) / (white - black) > 0.5) code |= 1u << slot;
    }
    return code;
}

} // namespace

std::optional<TFoundMark> FindMark(const TGreyImage& scan, const TSheetFrame& frame, QPointF nominalMm,
                                   double searchMm) {
    const TWindow window = Resample(scan, frame, nominalMm, searchMm + SupportHalfMm);
    const TRough rough = RoughSearch(window);
    if (rough.Score < LeastScore) return std::nullopt;
    double white = 0, black = 0;
    if (!Levels(window, rough.CentreMm, white, black)) return std::nullopt;
    const double middle = (white + black) / 2;
    // Twice: the second time the profiles are centred on the edges.
    std::optional<TCentre> centre = Refine(scan, frame, rough.CentreMm, middle);
    if (centre) centre = Refine(scan, frame, centre->Mm, middle);
    if (!centre) return std::nullopt;
    TFoundMark found;
    found.CentreMm = centre->Mm;
    found.CentreErrorMm = centre->ErrorMm;
    found.Score = rough.Score;
    found.Code = ReadCode(scan, frame, centre->Mm, white, black);
    return found;
}

} // namespace mx
