// The application icon: a sheet with lines of text, some of them blacked out
// by a yellow-hatched bar. One description feeds both the PNG and the SVG.
#include "artwork.h"
#include "writers.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <vector>

namespace artwork {
namespace {

struct Shape {
    QPolygonF outline;
    QColor fill;
    QColor stroke; // invalid: none
    double strokeWidth = 0;
};

// Yellow diagonal stripes across the black bar, cut to the bar so that
// neither output needs clipping.
void AddHatchedBar(std::vector<Shape>& shapes, const QRectF& bar) {
    constexpr double step = 6, width = 2.8;
    const QPolygonF outline(bar);
    shapes.push_back({outline, QColor(16, 16, 16), {}, 0});
    const double h = bar.height();
    for (double x = bar.left() - h; x < bar.right(); x += step) {
        const QPolygonF stripe{QPointF(x, bar.bottom()), QPointF(x + width, bar.bottom()),
                               QPointF(x + width + h, bar.top()), QPointF(x + h, bar.top())};
        QPolygonF cut = stripe.intersected(outline);
        if (!cut.isEmpty()) shapes.push_back({cut, QColor(255, 214, 0), {}, 0});
    }
}

std::vector<Shape> IconShapes() {
    const QColor paper(255, 255, 252), edge(96, 96, 96), fold(214, 214, 210), ink(92, 100, 118);
    std::vector<Shape> shapes;
    shapes.push_back(
        {QPolygonF{QPointF(10, 3), QPointF(42, 3), QPointF(54, 15), QPointF(54, 61), QPointF(10, 61)}, paper, edge, 2});
    shapes.push_back({QPolygonF{QPointF(42, 3), QPointF(42, 15), QPointF(54, 15)}, fold, edge, 1.5});
    const double lengths[] = {24, 30, 36, 0, 0, 34, 28, 36, 20};
    for (int i = 0; i < 9; ++i) {
        if (lengths[i] == 0) continue;
        const double y = 12 + i * 5.4;
        shapes.push_back({QPolygonF(QRectF(16, y, lengths[i], 2.6)), ink, {}, 0});
    }
    AddHatchedBar(shapes, QRectF(13, 25.5, 38, 15));
    return shapes;
}

void Paint(QPainter& p, const Shape& s) {
    p.setPen(s.stroke.isValid() ? QPen(s.stroke, s.strokeWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                                : QPen(Qt::NoPen));
    p.setBrush(s.fill);
    p.drawPolygon(s.outline);
}

QByteArray Svg(const std::vector<Shape>& shapes) {
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" viewBox=\"0 0 64 64\">\n";
    for (const Shape& s : shapes) {
        QByteArray points;
        for (const QPointF& pt : s.outline)
            points += QByteArray::number(pt.x(), 'g', 5) + ',' + QByteArray::number(pt.y(), 'g', 5) + ' ';
        svg += "  <polygon points=\"" + points.trimmed() + "\" fill=\"" + s.fill.name().toLatin1() + '"';
        if (s.stroke.isValid())
            svg += " stroke=\"" + s.stroke.name().toLatin1() + "\" stroke-width=\"" +
                   QByteArray::number(s.strokeWidth) + "\"";
        else
            svg += " stroke=\"none\"";
        svg += "/>\n";
    }
    return svg + "</svg>\n";
}

} // namespace

void MakeIcon(const QDir& dir) {
    const std::vector<Shape> shapes = IconShapes();
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (const Shape& s : shapes) Paint(p, s);
    p.end();
    WritePng(image, dir.filePath("marbelux.png"));
    WriteText(Svg(shapes), dir.filePath("marbelux.svg"));
}

} // namespace artwork
