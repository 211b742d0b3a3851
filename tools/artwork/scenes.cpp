#include "scenes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

namespace artwork {

void DrawBackdrop(QPainter& p, const QRectF& r, double deskY) {
    QLinearGradient wall(r.topLeft(), QPointF(r.left(), deskY));
    wall.setColorAt(0, QColor(240, 244, 238));
    wall.setColorAt(1, QColor(208, 220, 210));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), deskY - r.top()), wall);
    QLinearGradient desk(QPointF(r.left(), deskY), r.bottomLeft());
    desk.setColorAt(0, QColor(200, 186, 160));
    desk.setColorAt(1, QColor(150, 128, 100));
    p.fillRect(QRectF(r.left(), deskY, r.width(), r.bottom() - deskY), desk);
    p.fillRect(QRectF(r.left(), deskY, r.width(), 1.5), QColor(176, 160, 134));
}

void DrawKeyboard(QPainter& p, const QPolygonF& quad) {
    constexpr double W = 300, H = 110;
    // Front face, drawn flat below the front edge.
    p.save();
    p.setPen(QPen(QColor(110, 110, 106), 1));
    p.setBrush(QColor(160, 160, 154));
    const QPointF drop(0, 7);
    p.drawPolygon(QPolygonF{quad[3], quad[2], quad[2] + drop, quad[3] + drop});

    QTransform flat;
    QTransform::quadToQuad(QPolygonF{QPointF(0, 0), QPointF(W, 0), QPointF(W, H), QPointF(0, H)}, quad, flat);
    p.setTransform(flat, true);
    QLinearGradient body(0, 0, 0, H);
    body.setColorAt(0, QColor(200, 200, 194));
    body.setColorAt(1, QColor(224, 224, 218));
    p.setBrush(body);
    p.setPen(QPen(QColor(120, 120, 114), 1.5));
    p.drawRoundedRect(QRectF(0, 0, W, H), 8, 8);

    const double key = 17.5, gap = 2.5, left = 10, top = 10;
    p.setPen(QPen(QColor(132, 132, 126), 1));
    const auto drawKey = [&](double x, double y, double w) {
        p.setBrush(QColor(150, 150, 144));
        p.drawRoundedRect(QRectF(x, y, w, key), 3, 3);
        QLinearGradient face(0, y, 0, y + key);
        face.setColorAt(0, QColor(252, 252, 248));
        face.setColorAt(1, QColor(226, 226, 220));
        p.setBrush(face);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(x + 2, y + 1.5, w - 4, key - 5), 2, 2);
        p.setPen(QPen(QColor(132, 132, 126), 1));
    };
    for (int row = 0; row < 4; ++row) {
        const double y = top + row * (key + gap);
        const double shift = row * 6;
        for (double x = left + shift; x + key <= W - 10; x += key + gap) drawKey(x, y, key);
    }
    const double y = top + 4 * (key + gap);
    drawKey(left, y, 40);
    drawKey(left + 40 + gap, y, 28);
    drawKey(left + 70 + 2 * gap, y, 140);
    drawKey(left + 210 + 3 * gap, y, 28);
    drawKey(left + 238 + 4 * gap, y, W - 20 - (238 + 4 * gap));
    p.restore();
}

void DrawSheet(QPainter& p, const QRectF& r, double barTop, double barBottom) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRect(r.translated(2, 2));
    p.setBrush(QColor(253, 253, 250));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawRect(r);

    const double margin = r.width() * 0.12;
    const double pitch = std::max(3.0, r.height() / 16);
    const double thickness = std::max(1.0, pitch * 0.38);
    static constexpr double lengths[] = {0.9, 1.0, 0.8, 0.95, 0.6, 1.0, 0.85, 0.7, 1.0, 0.9, 0.5};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 126, 140));
    int i = 0;
    for (double y = r.top() + pitch * 1.3; y + thickness < r.bottom() - pitch * 0.8; y += pitch, ++i) {
        const double len = (r.width() - 2 * margin) * lengths[i % std::size(lengths)];
        p.drawRect(QRectF(r.left() + margin, y, len, thickness));
    }
    if (barTop >= 0 && barBottom > barTop) {
        p.setBrush(QColor(18, 18, 18));
        p.drawRect(QRectF(r.left() + margin * 0.4, r.top() + r.height() * barTop, r.width() - margin * 0.8,
                          r.height() * (barBottom - barTop)));
    }
    p.restore();
}

void DrawPrinter(QPainter& p, const QRectF& r) {
    const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
    p.save();
    // Paper standing in the feed slot behind the lid.
    DrawSheet(p, QRectF(x + 0.2 * w, y - 0.5 * h, 0.6 * w, 0.62 * h));

    p.setPen(QPen(QColor(96, 96, 92), 1.2));
    QLinearGradient lid(0, y, 0, y + 0.32 * h);
    lid.setColorAt(0, QColor(236, 234, 228));
    lid.setColorAt(1, QColor(206, 204, 196));
    p.setBrush(lid);
    p.drawPolygon(QPolygonF{QPointF(x + 0.08 * w, y + 0.04 * h), QPointF(x + 0.92 * w, y + 0.04 * h),
                            QPointF(x + w, y + 0.34 * h), QPointF(x, y + 0.34 * h)});
    p.setBrush(QColor(60, 60, 60));
    p.drawRoundedRect(QRectF(x + 0.18 * w, y + 0.1 * h, 0.64 * w, 0.05 * h), 2, 2);

    QLinearGradient front(0, y + 0.34 * h, 0, y + h);
    front.setColorAt(0, QColor(222, 220, 212));
    front.setColorAt(1, QColor(168, 166, 158));
    p.setBrush(front);
    p.drawRoundedRect(QRectF(x, y + 0.34 * h, w, 0.58 * h), 5, 5);

    // Output slot and tray.
    p.setBrush(QColor(50, 50, 50));
    p.drawRoundedRect(QRectF(x + 0.12 * w, y + 0.5 * h, 0.62 * w, 0.07 * h), 2, 2);
    p.setBrush(QColor(196, 194, 186));
    p.drawPolygon(QPolygonF{QPointF(x + 0.1 * w, y + 0.92 * h), QPointF(x + 0.9 * w, y + 0.92 * h),
                            QPointF(x + 0.96 * w, y + h), QPointF(x + 0.04 * w, y + h)});

    // Control panel.
    p.setBrush(QColor(120, 122, 126));
    p.drawRoundedRect(QRectF(x + 0.78 * w, y + 0.42 * h, 0.16 * w, 0.2 * h), 2, 2);
    QRadialGradient led(QPointF(x + 0.83 * w, y + 0.48 * h), 0.03 * w);
    led.setColorAt(0, QColor(190, 255, 170));
    led.setColorAt(1, QColor(30, 160, 40));
    p.setBrush(led);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(x + 0.83 * w, y + 0.48 * h), 0.025 * w, 0.025 * w);
    p.setBrush(QColor(230, 230, 226));
    p.drawRoundedRect(QRectF(x + 0.8 * w, y + 0.55 * h, 0.12 * w, 0.04 * h), 1, 1);
    p.restore();
}

void DrawGlobe(QPainter& p, const QRectF& r, QColor sea, QColor land, QColor grid, bool parallels) {
    p.save();
    QPainterPath ball;
    ball.addEllipse(r);
    if (p.renderHints() & QPainter::Antialiasing) {
        QRadialGradient shade(r.center() - QPointF(r.width() * 0.2, r.height() * 0.2), r.width() * 0.75);
        shade.setColorAt(0, sea.lighter(150));
        shade.setColorAt(1, sea.darker(130));
        p.fillPath(ball, shade);
    } else {
        p.fillPath(ball, sea);
    }
    p.setClipPath(ball);
    if (land.alpha() > 0) {
        const double w = r.width(), h = r.height(), x = r.left(), y = r.top();
        QPainterPath continents;
        continents.moveTo(x + 0.18 * w, y + 0.25 * h);
        continents.cubicTo(x + 0.4 * w, y + 0.1 * h, x + 0.5 * w, y + 0.35 * h, x + 0.38 * w, y + 0.5 * h);
        continents.cubicTo(x + 0.3 * w, y + 0.62 * h, x + 0.42 * w, y + 0.8 * h, x + 0.3 * w, y + 0.9 * h);
        continents.cubicTo(x + 0.15 * w, y + 0.7 * h, x + 0.05 * w, y + 0.45 * h, x + 0.18 * w, y + 0.25 * h);
        continents.moveTo(x + 0.62 * w, y + 0.2 * h);
        continents.cubicTo(x + 0.85 * w, y + 0.22 * h, x + 0.95 * w, y + 0.45 * h, x + 0.75 * w, y + 0.55 * h);
        continents.cubicTo(x + 0.65 * w, y + 0.6 * h, x + 0.58 * w, y + 0.4 * h, x + 0.62 * w, y + 0.2 * h);
        p.fillPath(continents, land);
    }
    p.setPen(QPen(grid, std::max(1.0, r.width() / 24)));
    p.setBrush(Qt::NoBrush);
    const QPointF c = r.center();
    p.drawEllipse(QRectF(c.x() - r.width() * 0.22, r.top(), r.width() * 0.44, r.height()));
    p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
    p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
    for (double f : {0.25, 0.75})
        if (parallels)
            p.drawLine(QPointF(r.left(), r.top() + r.height() * f), QPointF(r.right(), r.top() + r.height() * f));
    p.restore();
}

} // namespace artwork
