#pragma once
// A straight line through measured edge points, robust against points that
// belong to something else: text near an edge, a speck of dust, a shadow.
#include <QPointF>
#include <optional>
#include <vector>

namespace mx {

struct TFittedLine {
    QPointF Point;     // on the line: the centroid of the points kept
    QPointF Direction; // unit length
    double Rms = 0;    // perpendicular distance of the points kept
    int Count = 0;     // points kept

    QPointF Normal() const { return {-Direction.y(), Direction.x()}; }
    // Standard error of the line's position at its centroid.
    double PositionError() const;
};

// Fits a line to points that lie roughly along `direction`. Points farther
// than three robust standard deviations (but at least `leastTolerance`)
// from the line are dropped; nothing when fewer than `leastCount` remain.
std::optional<TFittedLine> FitLine(const std::vector<QPointF>& points, QPointF direction, double leastTolerance,
                                   int leastCount = 3);

// Where two lines cross; nothing for parallel lines.
std::optional<QPointF> Intersection(const TFittedLine& a, const TFittedLine& b);

} // namespace mx
