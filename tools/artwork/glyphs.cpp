// Glyph strips of the bitmap buttons: a normal and a disabled image side by
// side, 16 colours, on a background colour that is also the bottom-left
// pixel (the transparent colour).
#include "artwork.h"
#include "scenes.h"
#include "writers.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>
#include <stdexcept>

namespace artwork {
namespace {

const QColor Black(0, 0, 0), Maroon(128, 0, 0), Green(0, 128, 0), Olive(128, 128, 0), Navy(0, 0, 128),
    Purple(128, 0, 128), Teal(0, 128, 128), Silver(192, 192, 192), Grey(128, 128, 128), Red(255, 0, 0), Lime(0, 255, 0),
    Yellow(255, 255, 0), Blue(0, 0, 255), Aqua(0, 255, 255), White(255, 255, 255);

using Painter = std::function<void(QPainter&)>;

// A pixel of the picture's outline: it borders the background, or it is the
// darker side of an edge between two colours.
bool OnOutline(const QImage& image, int x, int y, QRgb background) {
    const QRgb c = image.pixel(x, y);
    if (c == background) return false;
    for (auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= image.width() || ny >= image.height()) continue;
        const QRgb n = image.pixel(nx, ny);
        if (n == background || qGray(n) > qGray(c)) return true;
    }
    return false;
}

// The disabled look: the outline in white with a grey shadow one pixel down
// and to the right.
QImage Disabled(const QImage& normal, QColor background) {
    QImage out(normal.size(), QImage::Format_RGB32);
    out.fill(background);
    const QRgb bg = background.rgb();
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < normal.height(); ++y)
            for (int x = 0; x < normal.width(); ++x) {
                if (!OnOutline(normal, x, y, bg)) continue;
                if (pass == 0 && x + 1 < out.width() && y + 1 < out.height())
                    out.setPixel(x + 1, y + 1, Grey.rgb());
                else if (pass == 1)
                    out.setPixel(x, y, White.rgb());
            }
    return out;
}

QImage Draw(QSize cell, QColor background, const Painter& draw) {
    QImage image(cell, QImage::Format_RGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    return image;
}

// outlineOf, if given, draws a simpler picture whose outline makes the
// disabled image (fine inner lines would only add noise there).
void WriteStrip(const QDir& dir, const char* name, QSize cell, QColor background, const Painter& draw,
                const Painter& outlineOf = {}) {
    const QImage normal = Draw(cell, background, draw);
    const QImage disabled = Disabled(outlineOf ? Draw(cell, background, outlineOf) : normal, background);
    QImage strip(cell.width() * 2, cell.height(), QImage::Format_RGB32);
    QPainter p(&strip);
    p.drawImage(0, 0, normal);
    p.drawImage(cell.width(), 0, disabled);
    p.end();
    if (strip.pixel(0, strip.height() - 1) != background.rgb())
        throw std::runtime_error(std::string(name) + ": bottom-left pixel is not the background");
    WriteWindowsBmp(strip, dir.filePath(QString::fromLatin1(name) + ".bmp"));
}

void Polygon(QPainter& p, const QPolygonF& shape, QColor fill, QColor outline) {
    p.setPen(outline.isValid() ? QPen(outline, 1) : QPen(fill, 1));
    p.setBrush(fill);
    p.drawPolygon(shape);
}

QPolygonF CheckMark(QPointF at) {
    return QPolygonF{QPointF(1, 7), QPointF(4, 4), QPointF(6, 7), QPointF(13, 0), QPointF(15, 3), QPointF(6, 12)}
        .translated(at);
}

void Cross(QPainter& p) {
    for (auto [width, colour] : {std::pair{5, Maroon}, std::pair{3, Red}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(4, 4, 13, 13);
        p.drawLine(13, 4, 4, 13);
    }
}

void Arrow(QPainter& p, double startDeg, double spanDeg) {
    const QRectF circle(3, 3, 11, 11);
    p.setPen(QPen(Green, 2, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(circle, int(startDeg * 16), int(spanDeg * 16));
    const double end = (startDeg + spanDeg) * M_PI / 180;
    const QPointF tip = circle.center() + QPointF(std::cos(end), -std::sin(end)) * 5.5;
    const QPointF along(-std::sin(end), -std::cos(end)); // direction of travel
    const QPointF out(std::cos(end), -std::sin(end));
    p.setPen(QPen(Green, 1));
    p.setBrush(Lime);
    p.drawPolygon(QPolygonF{tip + along * 3.5, tip + out * 3.2, tip - out * 3.2});
}

} // namespace

void MakeGlyphs(const QDir& dir) {
    const QSize cell(18, 18);
    WriteStrip(dir, "BBOKX", cell, Olive, [](QPainter& p) { Polygon(p, CheckMark({1, 3}), Green, Black); });
    WriteStrip(dir, "BBYESX", cell, Olive, [](QPainter& p) { Polygon(p, CheckMark({1, 3}), Lime, Green); });
    WriteStrip(dir, "BBCANCELX", cell, Olive, Cross);
    WriteStrip(dir, "BBABORTX", cell, Olive, Cross);
    WriteStrip(dir, "BBHELPX", cell, Olive, [](QPainter& p) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(16);
        font.setStyleStrategy(QFont::NoAntialias);
        p.setFont(font);
        p.setPen(Teal);
        p.drawText(QRect(1, 1, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
        p.setPen(Aqua);
        p.drawText(QRect(0, 0, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
    });
    WriteStrip(dir, "BBNOX", cell, Olive, [](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Red, 2));
        p.drawEllipse(QRect(3, 2, 12, 12));
        p.drawLine(5, 4, 13, 12);
    });
    WriteStrip(dir, "BBCLOSEX", cell, Olive, [](QPainter& p) {
        p.setPen(Black);
        p.setBrush(Silver);
        p.drawRect(3, 1, 10, 15); // frame
        p.setBrush(Black);
        p.drawRect(5, 3, 6, 13); // the opening
        Polygon(p, QPolygonF{QPointF(11, 3), QPointF(15, 1), QPointF(15, 17), QPointF(11, 16)}, Maroon,
                Black); // the leaf, swung open
        p.setPen(Yellow);
        p.drawPoint(13, 9);
    });
    WriteStrip(dir, "BBRETRYX", cell, Olive, [](QPainter& p) {
        Arrow(p, 20, 140);
        Arrow(p, 200, 140);
    });
    WriteStrip(dir, "BBIGNOREX", cell, Olive, [](QPainter& p) {
        p.setPen(Green);
        p.setBrush(Green);
        p.drawEllipse(QRect(8, 1, 3, 3)); // head
        p.setPen(QPen(Green, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(9, 5, 8, 10);  // body
        p.drawLine(8, 10, 5, 15); // back leg
        p.drawLine(8, 10, 11, 12);
        p.drawLine(11, 12, 12, 15); // front leg
        p.drawLine(9, 6, 5, 8);     // arms
        p.drawLine(9, 6, 12, 9);
    });
    WriteStrip(dir, "BBALLX", QSize(18, 19), Olive, [](QPainter& p) {
        Polygon(p, CheckMark({0, 1}), Green, Black);
        Polygon(p, CheckMark({2, 5}), Lime, Green);
    });
    const auto disc = [](QPainter& p) {
        p.setPen(Navy);
        p.setBrush(Blue);
        p.drawEllipse(QRect(1, 1, 13, 13));
    };
    WriteStrip(
        dir, "globe", QSize(16, 16), Purple,
        [&disc](QPainter& p) {
            disc(p);
            DrawGlobe(p, QRectF(2, 2, 12, 12), Blue, Qt::transparent, Aqua, false);
        },
        [&disc](QPainter& p) {
            disc(p);
            p.drawLine(2, 7, 13, 7);
            p.drawLine(7, 2, 7, 13);
            p.drawEllipse(QRect(5, 1, 5, 13));
        });
}

} // namespace artwork
