#include "coverage/fill_grid.h"

#include "sheetscan/sheet_frame.h"

#include <algorithm>
#include <cmath>

namespace mx {

namespace {

template <class T>
T Median(std::vector<T> v) {
    const auto mid = v.begin() + v.size() / 2;
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// The share of a hatch cell the pattern inks.
double InkShare(TBrushStyle style) {
    if (style == bsSolid) return 1;
    int bits = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) bits += HatchBit(style, x, y);
    return bits / 64.0;
}

// Mean over `k` cells along one direction, symmetric about each cell: an
// even k takes half of each end cell, so a period of k cells averages out
// exactly and nothing shifts.
void Smooth(std::vector<float>& v, int w, int h, int k, bool alongRows) {
    if (k <= 1) return;
    const int half = k / 2;
    const int n = alongRows ? w : h, lines = alongRows ? h : w;
    std::vector<float> in(n);
    for (int l = 0; l < lines; ++l) {
        const auto index = [&](int i) { return alongRows ? size_t(l) * w + i : size_t(i) * w + l; };
        for (int i = 0; i < n; ++i) in[i] = v[index(i)];
        for (int i = 0; i < n; ++i) {
            double sum = 0;
            for (int d = -half; d <= half; ++d) {
                const double weight = (k % 2 == 0 && std::abs(d) == half) ? 0.5 : 1;
                sum += weight * in[std::clamp(i + d, 0, n - 1)];
            }
            v[index(i)] = float(sum / k);
        }
    }
}

// Counts of set cells in square boxes, through a summed-area table.
class TBoxCounter {
public:
    template <class F>
    TBoxCounter(int w, int h, F isSet) : w_(w), h_(h), sums_(size_t(w + 1) * (h + 1), 0) {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) At(i + 1, j + 1) = int(isSet(i, j)) + At(i, j + 1) + At(i + 1, j) - At(i, j);
    }
    // Set cells in [i - half, i + half] x [j - half, j + half], within the grid.
    int Count(int i, int j, int half) const {
        const int l = std::max(0, i - half), r = std::min(w_, i + half + 1);
        const int t = std::max(0, j - half), b = std::min(h_, j + half + 1);
        return At(r, b) - At(l, b) - At(r, t) + At(l, t);
    }
    // All cells of that box within the grid.
    int Cells(int i, int j, int half) const {
        return (std::min(w_, i + half + 1) - std::max(0, i - half)) *
               (std::min(h_, j + half + 1) - std::max(0, j - half));
    }

private:
    int& At(int i, int j) { return sums_[size_t(j) * (w_ + 1) + i]; }
    int At(int i, int j) const { return sums_[size_t(j) * (w_ + 1) + i]; }
    int w_, h_;
    std::vector<int> sums_;
};

} // namespace

TFillReader::TFillReader(const QImage& scan, const TSheetFrame& frame, const TCoverageFill& fill)
    : scan_(scan.convertToFormat(QImage::Format_RGB32)) {
    // The paper: a band just inside its edges, where no printer prints.
    std::array<std::vector<double>, 3> band;
    const double w = frame.SizeMm.width(), h = frame.SizeMm.height();
    for (const double inset : {0.6, 1.0, 1.4}) {
        for (double x = inset; x < w - inset; x += 0.5)
            for (const double y : {inset, h - inset}) {
                const QPointF p = frame.ToScan({x, y});
                std::array<double, 3> c;
                if (Colour(p.x(), p.y(), c))
                    for (int i = 0; i < 3; ++i) band[i].push_back(c[i]);
            }
        for (double y = inset; y < h - inset; y += 0.5)
            for (const double x : {inset, w - inset}) {
                const QPointF p = frame.ToScan({x, y});
                std::array<double, 3> c;
                if (Colour(p.x(), p.y(), c))
                    for (int i = 0; i < 3; ++i) band[i].push_back(c[i]);
            }
    }
    if (band[0].empty()) return;
    for (int i = 0; i < 3; ++i) paper_[i] = Median(band[i]);

    // The fill as ink on this paper: the pattern's share in the foreground
    // colour, the rest in the background colour.
    const double ink = InkShare(fill.Style);
    const auto channels = [](TColor c) {
        return std::array<double, 3>{(c & 0xFF) / 255.0, (c >> 8 & 0xFF) / 255.0, (c >> 16 & 0xFF) / 255.0};
    };
    const std::array<double, 3> fgc = channels(fill.Foreground), bgc = channels(fill.Background);
    double squared = 0;
    for (int i = 0; i < 3; ++i) {
        const double reflectance = ink * fgc[i] + (1 - ink) * bgc[i];
        toFill_[i] = paper_[i] * (reflectance - 1);
        squared += toFill_[i] * toFill_[i];
    }
    contrast_ = std::sqrt(squared);
    if (squared > 0)
        for (double& c : toFill_) c /= squared;
    if (fill.Style != bsSolid && fill.PrinterDpi > 0) periodMm_ = 8 * MmPerInch / fill.PrinterDpi;
}

bool TFillReader::Colour(double x, double y, std::array<double, 3>& rgb) const {
    const int w = scan_.width(), h = scan_.height();
    if (!(x >= 0 && y >= 0 && x <= w && y <= h) || w < 2 || h < 2) return false;
    const double u = std::clamp(x - 0.5, 0.0, w - 1.0), v = std::clamp(y - 0.5, 0.0, h - 1.0);
    const int i = std::min(int(u), w - 2), j = std::min(int(v), h - 2);
    const double fx = u - i, fy = v - j;
    const auto* r0 = reinterpret_cast<const QRgb*>(scan_.constScanLine(j));
    const auto* r1 = reinterpret_cast<const QRgb*>(scan_.constScanLine(j + 1));
    const auto mix = [&](int (*channel)(QRgb)) {
        const double top = channel(r0[i]) + fx * (channel(r0[i + 1]) - channel(r0[i]));
        const double bottom = channel(r1[i]) + fx * (channel(r1[i + 1]) - channel(r1[i]));
        return top + fy * (bottom - top);
    };
    rgb = {mix(qRed), mix(qGreen), mix(qBlue)};
    return true;
}

double TFillReader::Level(const TSheetFrame& frame, QPointF mm) const {
    const QPointF p = frame.ToScan(mm);
    std::array<double, 3> c;
    if (!Colour(p.x(), p.y(), c)) return NAN;
    double level = 0;
    for (int i = 0; i < 3; ++i) level += (c[i] - paper_[i]) * toFill_[i];
    return level;
}

TFillGrid::TFillGrid(const TFillReader& reader, const TSheetFrame& frame, const Area& area, double marginMm,
                     double strokeMm)
    : area_(area) {
    pitch_ = 1 / frame.PixelsPerMm();
    left_ = std::max(0.0, area.Left - marginMm);
    top_ = std::max(0.0, area.Top - marginMm);
    const double right = std::min(frame.SizeMm.width(), area.Right + marginMm);
    const double bottom = std::min(frame.SizeMm.height(), area.Bottom + marginMm);
    w_ = std::max(1, int(std::ceil((right - left_) / pitch_)));
    h_ = std::max(1, int(std::ceil((bottom - top_) / pitch_)));
    level_.resize(size_t(w_) * h_);
    for (int j = 0; j < h_; ++j)
        for (int i = 0; i < w_; ++i) {
            const double v = reader.Level(frame, {left_ + (i + 0.5) * pitch_, top_ + (j + 0.5) * pitch_});
            level_[size_t(j) * w_ + i] = std::isnan(v) ? 0.f : float(v);
        }
    // A hatch's period smoothed to an even tone; a solid fill only its noise.
    const int k = reader.PeriodMm() > 0 ? std::max(1, int(std::lround(reader.PeriodMm() / pitch_))) : 2;
    Smooth(level_, w_, h_, k, true);
    Smooth(level_, w_, h_, k, false);
    opening_ = std::max(1, int(std::lround(strokeMm / pitch_)) | 1);
}

float TFillGrid::LevelAt(double xMm, double yMm) const {
    const double u = (xMm - left_) / pitch_ - 0.5, v = (yMm - top_) / pitch_ - 0.5;
    if (!(u >= -0.5 && v >= -0.5 && u <= w_ - 0.5 && v <= h_ - 0.5)) return NAN;
    const int i = std::clamp(int(std::floor(u)), 0, std::max(0, w_ - 2));
    const int j = std::clamp(int(std::floor(v)), 0, std::max(0, h_ - 2));
    const int i1 = std::min(i + 1, w_ - 1), j1 = std::min(j + 1, h_ - 1);
    const double fx = std::clamp(u - i, 0.0, 1.0), fy = std::clamp(v - j, 0.0, 1.0);
    const double top = Cell(i, j) + fx * (Cell(i1, j) - Cell(i, j));
    const double below = Cell(i, j1) + fx * (Cell(i1, j1) - Cell(i, j1));
    return float(top + fy * (below - top));
}

bool TFillGrid::InArea(int i, int j) const {
    const double x = left_ + (i + 0.5) * pitch_, y = top_ + (j + 0.5) * pitch_;
    return x >= area_.Left && x < area_.Right && y >= area_.Top && y < area_.Bottom;
}

double TFillGrid::FillLevel() const {
    std::vector<float> fillLike;
    int cells = 0;
    for (int j = 0; j < h_; ++j)
        for (int i = 0; i < w_; ++i) {
            if (!InArea(i, j)) continue;
            ++cells;
            if (Cell(i, j) >= 0.3f) fillLike.push_back(Cell(i, j));
        }
    // Next to nothing fill-like: the level the colours promise.
    if (fillLike.size() * 100 < size_t(cells)) return 1;
    return Median(fillLike);
}

double TFillGrid::CoveredShare(double threshold) const {
    // Cells at the threshold, with specks of noise filled by a majority of
    // their neighbours; then opened by a square as wide as a stroke: what
    // the square cannot fit into (text) is dropped, and the fill's straight
    // edges stay where they are.
    const TBoxCounter atThreshold(w_, h_, [&](int i, int j) { return Cell(i, j) >= threshold; });
    const TBoxCounter filled(w_, h_,
                             [&](int i, int j) { return 2 * atThreshold.Count(i, j, 1) > atThreshold.Cells(i, j, 1); });
    const int half = opening_ / 2;
    const TBoxCounter eroded(w_, h_,
                             [&](int i, int j) { return filled.Count(i, j, half) == (2 * half + 1) * (2 * half + 1); });
    long covered = 0, cells = 0;
    for (int j = 0; j < h_; ++j)
        for (int i = 0; i < w_; ++i) {
            if (!InArea(i, j)) continue;
            ++cells;
            covered += eroded.Count(i, j, half) > 0;
        }
    return cells ? double(covered) / cells : 0;
}

} // namespace mx
