// The three column pictures: a hand with scissors and a hand with a pen over
// a keyboard, and a printer with a sheet. The top-left corner stays calm
// because the title panel lies over it.
#include "artwork.h"
#include "scenes.h"
#include "writers.h"

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>

namespace artwork {
namespace {

const QColor Skin(242, 204, 174);
const QColor SkinShade(222, 172, 140);
const QColor SkinLine(170, 112, 84);

QImage NewColumn(int width) {
    QImage image(width, 281, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// A rounded stroke from a to b, filled and outlined.
void Capsule(QPainter& p, QPointF a, QPointF b, double width, const QBrush& fill, QColor outline) {
    QPainterPath line(a);
    line.lineTo(b);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    p.setPen(QPen(outline, 1.1));
    p.setBrush(fill);
    p.drawPath(stroker.createStroke(line).simplified());
}

void Finger(QPainter& p, QPointF a, QPointF b, double width) {
    QLinearGradient g(a, b);
    g.setColorAt(0, Skin);
    g.setColorAt(1, SkinShade);
    Capsule(p, a, b, width, g, SkinLine);
}

// Forearm in a shirt sleeve from the right edge towards the wrist.
void Sleeve(QPainter& p, QPointF wrist, QPointF elbow, double width) {
    Capsule(p, wrist, elbow, width * 0.82, Skin, SkinLine);
    QLinearGradient cloth(wrist, wrist + QPointF(0, width));
    cloth.setColorAt(0, QColor(96, 128, 186));
    cloth.setColorAt(1, QColor(52, 76, 132));
    const QPointF dir = (elbow - wrist) / std::hypot(elbow.x() - wrist.x(), elbow.y() - wrist.y());
    Capsule(p, wrist + dir * width * 0.35, elbow + dir * 40, width * 1.1, cloth, QColor(36, 52, 96));
    // Cuff.
    Capsule(p, wrist + dir * width * 0.3, wrist + dir * width * 0.45, width * 1.05, QColor(236, 240, 248),
            QColor(120, 130, 150));
}

void Palm(QPainter& p, const QRectF& r, double angle) {
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    QRadialGradient g(QPointF(-r.width() * 0.15, -r.height() * 0.2), r.width() * 0.7);
    g.setColorAt(0, Skin.lighter(104));
    g.setColorAt(1, SkinShade);
    p.setBrush(g);
    p.setPen(QPen(SkinLine, 1.1));
    p.drawEllipse(QRectF(-r.width() / 2, -r.height() / 2, r.width(), r.height()));
    p.restore();
}

void Ring(QPainter& p, QPointF c, double rx, double ry, double angle) {
    p.save();
    p.translate(c);
    p.rotate(angle);
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), rx, ry);
    ring.addEllipse(QPointF(0, 0), rx - 4.5, ry - 4.5);
    QLinearGradient g(0, -ry, 0, ry);
    g.setColorAt(0, QColor(236, 70, 60));
    g.setColorAt(1, QColor(150, 20, 20));
    p.setBrush(g);
    p.setPen(QPen(QColor(110, 16, 16), 1));
    p.drawPath(ring);
    p.restore();
}

// Scissors opened by `spread` degrees; pivot at the origin, tips towards -x.
void Scissors(QPainter& p, double spread) {
    for (int side : {-1, 1}) {
        p.save();
        p.rotate(side * spread / 2);
        QPainterPath blade;
        blade.moveTo(10, -3.5 * side);
        blade.cubicTo(-20, -6 * side, -55, -4 * side, -78, 0);
        blade.cubicTo(-55, 2 * side, -20, 3.5 * side, 8, 4 * side);
        blade.closeSubpath();
        QLinearGradient steel(0, -6, 0, 6);
        steel.setColorAt(0, QColor(250, 252, 255));
        steel.setColorAt(0.5, QColor(176, 184, 196));
        steel.setColorAt(1, QColor(120, 128, 140));
        p.setBrush(steel);
        p.setPen(QPen(QColor(80, 86, 96), 1));
        p.drawPath(blade);
        p.restore();
    }
    p.setBrush(QColor(90, 90, 96));
    p.setPen(QPen(QColor(40, 40, 44), 0.8));
    p.drawEllipse(QPointF(0, 0), 3, 3);
}

void DrawScissorsHand(QPainter& p) {
    p.save();
    p.translate(80, 146);
    p.rotate(-28);
    // Handles behind the hand.
    Capsule(p, QPointF(6, -4), QPointF(24, -14), 6, QColor(190, 40, 34), QColor(110, 16, 16));
    Capsule(p, QPointF(6, 4), QPointF(24, 14), 6, QColor(190, 40, 34), QColor(110, 16, 16));
    Ring(p, QPointF(36, -17), 14, 10, -12);
    Ring(p, QPointF(36, 18), 15, 11, 14);
    Scissors(p, 24);
    p.restore();

    p.save();
    p.translate(80, 146);
    p.rotate(-28);
    Sleeve(p, QPointF(86, 8), QPointF(170, 30), 30);
    Palm(p, QRectF(42, -20, 52, 48), 12);
    // Thumb into the upper ring, fingers round the lower ring.
    Finger(p, QPointF(62, -14), QPointF(38, -20), 12);
    Finger(p, QPointF(56, 12), QPointF(34, 24), 11);
    Finger(p, QPointF(62, 20), QPointF(44, 34), 10.5);
    Finger(p, QPointF(70, 24), QPointF(58, 38), 9.5);
    // Knuckle line.
    p.setPen(QPen(SkinLine, 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(54, -6, 26, 20), 200 * 16, 80 * 16);
    p.restore();
}

void DrawPenHand(QPainter& p) {
    p.save();
    p.translate(70, 172);
    p.rotate(-38);
    // The pen, tip at the origin pointing towards -x.
    QLinearGradient barrel(0, -5, 0, 5);
    barrel.setColorAt(0, QColor(70, 100, 200));
    barrel.setColorAt(0.4, QColor(40, 60, 150));
    barrel.setColorAt(1, QColor(16, 26, 80));
    p.setPen(QPen(QColor(12, 18, 50), 1));
    p.setBrush(QColor(200, 190, 120));
    p.drawPolygon(QPolygonF{QPointF(-2, 0), QPointF(14, -4.5), QPointF(14, 4.5)});
    p.setBrush(QColor(40, 40, 40));
    p.drawPolygon(QPolygonF{QPointF(-2, 0), QPointF(3, -1.4), QPointF(3, 1.4)});
    p.setBrush(barrel);
    p.drawRoundedRect(QRectF(14, -5, 120, 10), 4, 4);
    p.setBrush(QColor(214, 214, 220));
    p.drawRect(QRectF(86, -5.5, 6, 11));
    p.drawRoundedRect(QRectF(96, -8, 34, 3), 1.5, 1.5);
    p.restore();

    p.save();
    p.translate(70, 172);
    p.rotate(-38);
    Sleeve(p, QPointF(92, 22), QPointF(190, 40), 30);
    Palm(p, QRectF(44, -4, 54, 44), 20);
    // Curled fingers below the pen, index finger along it, thumb on the far side.
    Finger(p, QPointF(56, 30), QPointF(40, 20), 11);
    Finger(p, QPointF(64, 36), QPointF(48, 30), 10);
    Finger(p, QPointF(74, 38), QPointF(60, 36), 9);
    Finger(p, QPointF(60, 3), QPointF(27, 0.5), 9.5);
    Finger(p, QPointF(62, -12), QPointF(42, -7), 11);
    p.restore();
}

void Keyboard(QPainter& p, double width) {
    DrawKeyboard(p, QPolygonF{QPointF(18, 196), QPointF(width - 6, 192), QPointF(width + 40, 268), QPointF(-24, 272)});
}

} // namespace

void MakeColumnPictures(const QDir& pictures) {
    {
        QImage image = NewColumn(193);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        DrawBackdrop(p, image.rect(), 176);
        Keyboard(p, 193);
        DrawScissorsHand(p);
        p.end();
        WriteGif(image, pictures.filePath("column1.gif"));
    }
    {
        QImage image = NewColumn(193);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        DrawBackdrop(p, image.rect(), 176);
        Keyboard(p, 193);
        DrawPenHand(p);
        p.end();
        WriteGif(image, pictures.filePath("column2.gif"));
    }
    {
        QImage image = NewColumn(194);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        DrawBackdrop(p, image.rect(), 214);
        DrawPrinter(p, QRectF(26, 150, 150, 96));
        // A finished sheet on the desk, its middle blacked out.
        p.save();
        p.translate(60, 250);
        p.rotate(-8);
        DrawSheet(p, QRectF(-30, -6, 72, 40), 0.35, 0.6);
        p.restore();
        p.end();
        WriteGif(image, pictures.filePath("column3.gif"));
    }
}

} // namespace artwork
