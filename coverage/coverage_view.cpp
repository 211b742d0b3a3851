#include "coverage/coverage_view.h"

#include <QPainter>
#include <algorithm>

namespace mx {

namespace {

// Finer than a dialog shows it, coarse enough to make at once.
constexpr int PictureSide = 1400;

QColor AreaColour(const TAreaCoverage& area) { return FullyCovered(area) ? QColor(0, 150, 0) : QColor(220, 0, 0); }

} // namespace

TCoverageView::TCoverageView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CoverageView"));
    setMinimumSize(240, 320);
}

void TCoverageView::Show(const QImage& scan, const TCoverageReport& report) {
    scanSize_ = scan.size();
    const QImage small = std::max(scan.width(), scan.height()) > PictureSide
                             ? scan.scaled(PictureSide, PictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : scan;
    picture_ = QPixmap::fromImage(small);
    report_ = report;
    update();
}

void TCoverageView::Clear() {
    picture_ = {};
    scanSize_ = {};
    report_ = {};
    update();
}

QPointF TCoverageView::ToView(QPointF scanPoint) const {
    if (scanSize_.isEmpty()) return {};
    const double scale = std::min(double(width()) / scanSize_.width(), double(height()) / scanSize_.height());
    const QPointF origin((width() - scanSize_.width() * scale) / 2, (height() - scanSize_.height() * scale) / 2);
    return origin + scanPoint * scale;
}

QSize TCoverageView::sizeHint() const { return {420, 560}; }

void TCoverageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (picture_.isNull()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(ToView({0, 0}), ToView(QPointF(scanSize_.width(), scanSize_.height()))), picture_,
                       picture_.rect());
    painter.setRenderHint(QPainter::Antialiasing);
    const auto outline = [&](const QPolygonF& scanPolygon) {
        QPolygonF polygon;
        for (const QPointF& p : scanPolygon) polygon << ToView(p);
        painter.drawPolygon(polygon);
        return polygon;
    };
    painter.setPen(QPen(QColor(0, 90, 200), 1, Qt::DashLine));
    outline(report_.SheetOutline);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    for (size_t i = 0; i < report_.Areas.size(); ++i) {
        const TAreaCoverage& area = report_.Areas[i];
        painter.setPen(QPen(AreaColour(area), 2));
        const QPolygonF polygon = outline(area.ScanOutline);
        if (report_.Areas.size() > 1 && !polygon.isEmpty())
            painter.drawText(polygon.boundingRect().topLeft() + QPointF(3, -4), QString::number(i + 1));
    }
}

} // namespace mx
