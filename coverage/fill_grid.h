#pragma once
// Reading the fill in a scan: how fill-like the scan is at a point of the
// sheet (0 for bare paper, about 1 for the fill the job's colours promise),
// and a grid of that level around an area, smoothed over a hatch's period
// so that a hatch reads as an even tone.
#include "coverage/coverage_check.h"

#include <QImage>
#include <QPointF>
#include <array>
#include <vector>

namespace mx {

struct TSheetFrame;

class TFillReader {
public:
    TFillReader(const QImage& scan, const TSheetFrame& frame, const TCoverageFill& fill);

    // Grey levels between paper and the fill the model expects.
    double ContrastLevels() const { return contrast_; }
    // The hatch's period on paper; 0 for a solid fill.
    double PeriodMm() const { return periodMm_; }
    // The level at a point of the sheet as the frame reads it; NaN off the scan.
    double Level(const TSheetFrame& frame, QPointF mm) const;

private:
    bool Colour(double x, double y, std::array<double, 3>& rgb) const;

    QImage scan_;
    std::array<double, 3> paper_{}, toFill_{};
    double contrast_ = 0, periodMm_ = 0;
};

class TFillGrid {
public:
    // The area and `marginMm` around it (within the sheet), one cell per
    // scan pixel. Fill-like parts narrower than `strokeMm` (the document's
    // text) do not count as covered.
    TFillGrid(const TFillReader& reader, const TSheetFrame& frame, const Area& area, double marginMm, double strokeMm);

    double PitchMm() const { return pitch_; }
    // The smoothed level at a point, between the cells; NaN off the grid.
    float LevelAt(double xMm, double yMm) const;
    // The typical level of the area's clearly fill-like cells: what a
    // covered cell reads here.
    double FillLevel() const;
    // The share of the area's cells that are covered at the threshold.
    double CoveredShare(double threshold) const;

private:
    float Cell(int i, int j) const { return level_[size_t(j) * w_ + i]; }
    bool InArea(int i, int j) const;

    Area area_;
    double left_ = 0, top_ = 0, pitch_ = 1;
    int w_ = 0, h_ = 0, opening_ = 1;
    std::vector<float> level_;
};

} // namespace mx
