// The picture buttons: a bevelled bar with rounded ends and a word on it,
// once normal and once pressed (darker bar, the word lit up).
#include "artwork.h"
#include "writers.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

namespace artwork {
namespace {

const QColor ButtonFace(212, 208, 200);

struct Look {
    QColor top, bottom; // bar gradient
    QColor light, dark; // bevel
    QColor ink, glow;   // letters and their halo (invalid: none)
};

const Look Normal{QColor(250, 246, 232), QColor(220, 212, 192), QColor(255, 255, 255), QColor(140, 132, 116), {}, {}};
const Look Pressed{QColor(150, 150, 150), QColor(178, 178, 178), QColor(100, 100, 100), QColor(236, 236, 236), {}, {}};

QImage DrawButton(QSize size, const QStringList& lines, int pixelSize, Look look) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(ButtonFace);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF bar = QRectF(image.rect()).adjusted(1, 1, -1, -1);
    const double radius = bar.height() / 2;
    QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
    fill.setColorAt(0, look.top);
    fill.setColorAt(1, look.bottom);
    p.setPen(QPen(QColor(96, 92, 84), 1));
    p.setBrush(fill);
    p.drawRoundedRect(bar.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    // Bevel: light along the upper edge, dark along the lower one.
    const QRectF inner = bar.adjusted(2, 2, -2, -2);
    const double r2 = inner.height() / 2;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.light, 1.6));
    p.drawArc(QRectF(inner.left(), inner.top(), 2 * r2, 2 * r2), 90 * 16, 110 * 16);
    p.drawLine(QPointF(inner.left() + r2, inner.top()), QPointF(inner.right() - r2, inner.top()));
    p.setPen(QPen(look.dark, 1.6));
    p.drawArc(QRectF(inner.right() - 2 * r2, inner.top(), 2 * r2, 2 * r2), 270 * 16, 110 * 16);
    p.drawLine(QPointF(inner.left() + r2, inner.bottom()), QPointF(inner.right() - r2, inner.bottom()));

    QFont font(QStringLiteral("Liberation Serif"));
    font.setBold(true);
    font.setPixelSize(pixelSize);
    const QFontMetricsF metrics(font);
    const double lineHeight = metrics.ascent() + metrics.descent() * 0.2;
    const double pressedShift = look.glow.isValid() ? 1 : 0;
    double baseline = (size.height() - lineHeight * lines.size()) / 2 + metrics.ascent() + pressedShift;
    QPainterPath text;
    for (const QString& line : lines) {
        const double x = (size.width() - metrics.horizontalAdvance(line)) / 2 + pressedShift;
        text.addText(QPointF(x, baseline), font, line);
        baseline += lineHeight;
    }
    if (look.glow.isValid()) {
        QColor halo = look.glow;
        halo.setAlpha(110);
        p.strokePath(text, QPen(halo, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.strokePath(text, QPen(look.glow, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    } else {
        p.strokePath(text, QPen(QColor(255, 255, 255, 150), 1.6));
    }
    p.fillPath(text, look.ink);
    return image;
}

struct ButtonArt {
    const char* file;
    QSize size;
    QStringList lines;
    int pixelSize;
    QColor ink, pressedInk, pressedGlow;
};

} // namespace

void MakePictureButtons(const QDir& pictures) {
    const QColor blue(16, 36, 196), red(214, 18, 18), darkRed(140, 0, 0);
    const ButtonArt buttons[] = {
        {"ueber", {101, 30}, {"Ueber"}, 22, blue, blue, QColor(255, 236, 40)},
        {"ende", {101, 30}, {"Ende"}, 22, blue, blue, QColor(255, 236, 40)},
        {"go", {101, 30}, {"Go!"}, 23, red, red, QColor(60, 240, 255)},
        {"drucker", {82, 35}, {"Drucker", "Einrichten"}, 13, darkRed, QColor(170, 255, 255), QColor(0, 90, 110)},
    };
    for (const ButtonArt& b : buttons) {
        Look normal = Normal;
        normal.ink = b.ink;
        WriteGif(DrawButton(b.size, b.lines, b.pixelSize, normal),
                 pictures.filePath(QString::fromLatin1(b.file) + ".gif"));
        Look pressed = Pressed;
        pressed.ink = b.pressedInk;
        pressed.glow = b.pressedGlow;
        WriteGif(DrawButton(b.size, b.lines, b.pixelSize, pressed),
                 pictures.filePath(QString::fromLatin1(b.file) + "_down.gif"));
    }
}

} // namespace artwork
