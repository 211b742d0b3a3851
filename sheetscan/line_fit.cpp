#include "sheetscan/line_fit.h"

#include <algorithm>
#include <cmath>

namespace mx {

namespace {

double Dot(QPointF a, QPointF b) { return a.x() * b.x() + a.y() * b.y(); }

double Median(std::vector<double> v) {
    const auto mid = v.begin() + v.size() / 2;
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// Principal axis of the chosen points; the direction keeps the sense of
// `sense`.
TFittedLine PrincipalAxis(const std::vector<QPointF>& points, const std::vector<bool>& keep, QPointF sense) {
    double n = 0, mx = 0, my = 0;
    for (size_t i = 0; i < points.size(); ++i)
        if (keep[i]) n += 1, mx += points[i].x(), my += points[i].y();
    mx /= n;
    my /= n;
    double sxx = 0, sxy = 0, syy = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        if (!keep[i]) continue;
        const double dx = points[i].x() - mx, dy = points[i].y() - my;
        sxx += dx * dx, sxy += dx * dy, syy += dy * dy;
    }
    const double angle = 0.5 * std::atan2(2 * sxy, sxx - syy);
    QPointF d(std::cos(angle), std::sin(angle));
    if (Dot(d, sense) < 0) d = -d;
    return {{mx, my}, d, 0, int(n)};
}

} // namespace

double TFittedLine::PositionError() const { return Count > 0 ? Rms / std::sqrt(double(Count)) : INFINITY; }

std::optional<TFittedLine> FitLine(const std::vector<QPointF>& points, QPointF direction, double leastTolerance,
                                   int leastCount) {
    leastCount = std::max(leastCount, 3);
    if (int(points.size()) < leastCount) return std::nullopt;
    const double length = std::hypot(direction.x(), direction.y());
    if (!(length > 0)) return std::nullopt;
    direction /= length;

    // Start from the expected direction through the median offset, so that
    // a cluster of stray points cannot tilt the first fit.
    TFittedLine line;
    line.Direction = direction;
    {
        const QPointF normal = line.Normal();
        std::vector<double> offsets;
        offsets.reserve(points.size());
        for (const QPointF& p : points) offsets.push_back(Dot(p, normal));
        line.Point = normal * Median(offsets);
    }
    std::vector<bool> keep(points.size(), true);
    std::vector<double> residuals(points.size());
    for (int round = 0; round < 6; ++round) {
        const QPointF normal = line.Normal();
        for (size_t i = 0; i < points.size(); ++i) residuals[i] = std::abs(Dot(points[i] - line.Point, normal));
        const double sigma = 1.4826 * Median(residuals);
        const double tolerance = std::max(3 * sigma, leastTolerance);
        std::vector<bool> next(points.size());
        int count = 0;
        for (size_t i = 0; i < points.size(); ++i) count += (next[i] = residuals[i] <= tolerance);
        if (count < leastCount) return std::nullopt;
        const bool settled = next == keep && round > 0;
        keep = std::move(next);
        line = PrincipalAxis(points, keep, direction);
        if (settled) break;
    }
    double sum = 0;
    const QPointF normal = line.Normal();
    for (size_t i = 0; i < points.size(); ++i)
        if (keep[i]) sum += std::pow(Dot(points[i] - line.Point, normal), 2);
    line.Rms = std::sqrt(sum / std::max(1, line.Count - 2));
    return line;
}

std::optional<QPointF> Intersection(const TFittedLine& a, const TFittedLine& b) {
    // a.Point + s * a.Direction on b: (a.Point + s d_a - b.Point) . n_b = 0
    const double denominator = Dot(a.Direction, b.Normal());
    if (std::abs(denominator) < 1e-9) return std::nullopt;
    const double s = Dot(b.Point - a.Point, b.Normal()) / denominator;
    return a.Point + s * a.Direction;
}

} // namespace mx
