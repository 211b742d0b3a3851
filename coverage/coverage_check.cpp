#include "coverage/coverage_check.h"

#include "coverage/fill_grid.h"
#include "sheetscan/find_sheet.h"
#include "sheetscan/grey_image.h"
#include "sheetscan/scan_error.h"

#include <QImage>
#include <algorithm>
#include <cmath>

namespace mx {

namespace {

// Along each edge the strip is measured in pieces this long; the widest
// piece is the strip's width.
constexpr double SegmentMm = 3;
// A fill must reach this share of the contrast its colours promise to count.
constexpr double LeastFillLevel = 0.6;
// Text strokes are thinner than this; a fill is not.
constexpr double StrokeMm = 0.7;
// A line of text is lower than this; a fill that reaches into an area goes
// on further.
constexpr double TextLineMm = 3;

Area OnSide(const Area& a, const TCoverageJob& job) {
    Area side = a;
    NormaliseArea(side, job.PaperMm.width(), job.PaperMm.height());
    if (job.Back) side = {job.PaperMm.width() - side.Right, job.PaperMm.width() - side.Left, side.Top, side.Bottom};
    return side;
}

// The share of an area's cells that show the fill, sampled coarsely: what
// tells which way round the sheet lies.
double RoughShare(const TFillReader& reader, const TSheetFrame& frame, const Area& a) {
    int covered = 0, all = 0;
    const double period = reader.PeriodMm();
    for (double y = a.Top + 0.5; y < a.Bottom; y += 1)
        for (double x = a.Left + 0.5; x < a.Right; x += 1) {
            double sum = 0;
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 3; ++i)
                    sum += reader.Level(frame, {x + (i - 1) * period / 3, y + (j - 1) * period / 3});
            covered += sum / 9 >= LeastFillLevel / 2;
            ++all;
        }
    return all ? double(covered) / all : 0;
}

// The widest strip inside one edge of the area that the fill left
// uncovered: per piece of the edge, the median level of each line parallel
// to the edge, followed from just outside the edge to the area's middle;
// the medians pass over the document's text in a strip.
double UncoveredStrip(const TFillGrid& grid, const Area& a, TAreaEdge edge, double threshold, double fromMm,
                      double toMm) {
    const bool vertical = edge == aeLeft || edge == aeRight; // the edge runs down the page
    const double edgeAt = edge == aeLeft ? a.Left : edge == aeTop ? a.Top : edge == aeRight ? a.Right : a.Bottom;
    const double inward = (edge == aeLeft || edge == aeTop) ? 1 : -1;
    const double half = (vertical ? a.Right - a.Left : a.Bottom - a.Top) / 2;
    const double p = grid.PitchMm();
    // From one line outside the edge: a fill that reaches the edge crosses
    // the threshold there.
    const int steps = int(half / p) + 1;
    const int sustain = std::max(1, int(std::ceil(TextLineMm / p)));
    const int segments = std::max(1, int((toMm - fromMm) / SegmentMm));
    const double segment = (toMm - fromMm) / segments;
    std::vector<float> line;
    std::vector<double> levels(steps + 1);
    double widest = 0;
    for (int s = 0; s < segments; ++s) {
        const double from = fromMm + s * segment, to = from + segment;
        for (int k = 0; k <= steps; ++k) {
            const double across = edgeAt + inward * (k - 1) * p;
            line.clear();
            for (double along = from + p / 2; along < to; along += p) {
                const float v = vertical ? grid.LevelAt(across, along) : grid.LevelAt(along, across);
                if (!std::isnan(v)) line.push_back(v);
            }
            levels[k] = 0;
            if (line.empty()) continue;
            const auto mid = line.begin() + line.size() / 2;
            std::nth_element(line.begin(), mid, line.end());
            levels[k] = *mid;
        }
        // The first crossing that stays: a line of the document's text in
        // the strip crosses the threshold too (a dark text under a light
        // fill even reads darker than the fill), but only for its height.
        int k = 1;
        for (;;) {
            while (k <= steps && levels[k] < threshold) ++k;
            int run = k;
            while (run <= steps && run - k < sustain && levels[run] >= threshold) ++run;
            if (run > steps || run - k >= sustain) break;
            k = run;
        }
        double strip = half;
        if (k <= steps) {
            // Already fill-like outside the edge: no strip.
            const double rise = levels[k] - levels[k - 1];
            const double f = rise > 0 ? std::clamp((threshold - levels[k - 1]) / rise, 0.0, 1.0) : 0;
            strip = (k - 2 + f) * p;
        }
        widest = std::max(widest, strip);
    }
    return std::clamp(widest, 0.0, half);
}

void MeasureArea(const TFillReader& reader, const TSheetFrame& frame, TAreaCoverage& area) {
    const Area& a = area.OnSide;
    const TFillGrid grid(reader, frame, a, 1, StrokeMm);
    const double threshold = std::clamp(grid.FillLevel(), LeastFillLevel, 1.5) / 2;
    area.CoveredShare = grid.CoveredShare(threshold);
    // First across the middle half of each edge, then along the edge clear
    // of the strips the edges across it leave.
    std::array<double, 4> rough{};
    for (int e = 0; e < 4; ++e) {
        const bool vertical = e == aeLeft || e == aeRight;
        const double lo = vertical ? a.Top : a.Left, hi = vertical ? a.Bottom : a.Right;
        rough[e] = UncoveredStrip(grid, a, TAreaEdge(e), threshold, lo + (hi - lo) / 4, hi - (hi - lo) / 4);
    }
    for (int e = 0; e < 4; ++e) {
        const bool vertical = e == aeLeft || e == aeRight;
        const double lo = (vertical ? a.Top : a.Left) + rough[vertical ? aeTop : aeLeft] + 0.5;
        const double hi = (vertical ? a.Bottom : a.Right) - rough[vertical ? aeBottom : aeRight] - 0.5;
        area.UncoveredMm[e] = hi - lo >= 1 ? UncoveredStrip(grid, a, TAreaEdge(e), threshold, lo, hi) : rough[e];
    }
}

// A word worth naming: two letters or digits at least, as a recognition
// makes single signs of any smudge.
bool IsWord(const QString& text) {
    int n = 0;
    for (const QChar c : text) n += c.isLetterOrNumber();
    return n >= 2;
}

} // namespace

TCoverageReport CheckCoverage(const QImage& scan, double dpi, const TCoverageJob& job, const TTextWords& words) {
    const TSheetScan sheet = FindSheet(TGreyImage(scan), dpi, job.PaperMm);
    const TFillReader reader(scan, sheet.Frame, job.Fill);
    if (reader.ContrastLevels() < 12)
        throw EScanReading("Die Füllung hebt sich kaum vom Papier ab, im Scan ist sie nicht zu sehen. Ob sie deckt, "
                           "lässt sich so nicht prüfen");

    TCoverageReport report;
    for (const Area& a : job.Areas) {
        TAreaCoverage area;
        area.OnSide = OnSide(a, job);
        report.Areas.push_back(area);
    }
    // Which way round the sheet lay: the way the areas show most fill. A
    // sheet on its head is read turned; a mirrored scan is said.
    const std::array<TSheetFrame, 4> frames{sheet.Frame, sheet.Frame.Turned(), sheet.Frame.Mirrored(),
                                            sheet.Frame.Mirrored().Turned()};
    std::array<double, 4> scores{};
    for (int f = 0; f < 4; ++f) {
        for (const TAreaCoverage& area : report.Areas) scores[f] += RoughShare(reader, frames[f], area.OnSide);
        if (!report.Areas.empty()) scores[f] /= double(report.Areas.size());
    }
    int best = 0;
    for (int f = 1; f < 4; ++f)
        if (scores[f] >= 0.5 && scores[f] >= scores[best] + 0.25) best = f;
    if (best >= 2)
        throw EScanReading("Der Scan zeigt das Blatt spiegelverkehrt. Scannen oder öffnen Sie ihn ohne Spiegelung");
    const TSheetFrame& frame = frames[best];
    report.Turned = best == 1;
    report.SheetOutline = frame.Outline();

    for (TAreaCoverage& area : report.Areas) {
        const Area& a = area.OnSide;
        area.ScanOutline = QPolygonF({frame.ToScan({a.Left, a.Top}), frame.ToScan({a.Right, a.Top}),
                                      frame.ToScan({a.Right, a.Bottom}), frame.ToScan({a.Left, a.Bottom})});
        if (a.Right - a.Left <= 0 || a.Bottom - a.Top <= 0) continue;
        MeasureArea(reader, frame, area);
        for (const TTextWord& word : words) {
            const QPointF mm = frame.ToSheet(word.Box.center());
            if (IsWord(word.Text) && mm.x() >= a.Left && mm.x() < a.Right && mm.y() >= a.Top && mm.y() < a.Bottom)
                area.ReadableWords.append(word.Text);
        }
    }
    return report;
}

} // namespace mx
