// Tab images, the homepage glyph and the info dialog's picture.
#include "artwork.h"
#include "scenes.h"
#include "writers.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace artwork {
namespace {

void WriteTiny(const QDir& dir, const char* name, const std::function<void(QPainter&)>& draw) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    WritePng(image, dir.filePath(QString::fromLatin1(name)));
}

void CutMark(QPainter& p) {
    p.setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
    p.drawLine(QPointF(0, 14.5), QPointF(16, 14.5));
    // Scissors lying on the line, blades to the right.
    p.setPen(QPen(QColor(70, 76, 90), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 4.5), QPointF(15, 10.5));
    p.drawLine(QPointF(5.5, 10.5), QPointF(15, 4.5));
    p.setPen(QPen(QColor(200, 30, 30), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(3.5, 3.5), 2.3, 2.3);
    p.drawEllipse(QPointF(3.5, 11.5), 2.3, 2.3);
}

void Palette(QPainter& p) {
    QPainterPath board;
    board.addEllipse(QRectF(0.5, 2.5, 15, 12));
    QPainterPath hole;
    hole.addEllipse(QRectF(8.5, 9, 3.5, 3));
    p.setPen(QPen(QColor(120, 84, 40), 1));
    p.setBrush(QColor(226, 186, 122));
    p.drawPath(board.subtracted(hole));
    const std::pair<QPointF, QColor> blobs[] = {{{4, 6}, QColor(220, 30, 30)},
                                                {{7.5, 5}, QColor(250, 210, 20)},
                                                {{11.5, 6}, QColor(30, 80, 220)},
                                                {{4.5, 10}, QColor(30, 160, 50)}};
    p.setPen(Qt::NoPen);
    for (const auto& [at, colour] : blobs) {
        p.setBrush(colour);
        p.drawEllipse(at, 1.7, 1.7);
    }
    // A pen laid across.
    p.setPen(QPen(QColor(30, 40, 110), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 0.8), QPointF(9, 8.5));
}

void SmallPrinter(QPainter& p) {
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 0.5, 7, 6));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    QLinearGradient body(0, 6, 0, 14);
    body.setColorAt(0, QColor(226, 224, 216));
    body.setColorAt(1, QColor(160, 158, 150));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(0.5, 5.5, 15, 8), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(3, 9, 8, 1.5));
    p.setBrush(QColor(40, 180, 50));
    p.drawEllipse(QPointF(13, 8), 1, 1);
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 12.5, 9, 3));
}

} // namespace

void MakeSmallPictures(const QDir& dir) {
    WriteTiny(dir, "tab0.png", CutMark);
    WriteTiny(dir, "tab1.png", Palette);
    WriteTiny(dir, "tab2.png", SmallPrinter);
    WriteTiny(dir, "www.png", [](QPainter& p) {
        DrawGlobe(p, QRectF(0.5, 0.5, 15, 15), QColor(40, 100, 220), QColor(60, 170, 70), QColor(210, 235, 255, 200),
                  true);
        p.setPen(QPen(QColor(20, 50, 120), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    });
}

void MakeAboutPicture(const QDir& dir) {
    QImage image(306, 322, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient sky(0, 0, 0, 322);
    sky.setColorAt(0, QColor(222, 232, 246));
    sky.setColorAt(1, QColor(166, 186, 214));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawEllipse(QPointF(60, 300), 190, 110);

    p.save();
    p.translate(118, 150);
    p.rotate(-9);
    DrawSheet(p, QRectF(-84, -112, 168, 224), 0.42, 0.56);
    p.restore();

    DrawPrinter(p, QRectF(170, 222, 118, 76));

    QFont font(QStringLiteral("Liberation Serif"));
    font.setBold(true);
    font.setPixelSize(34);
    QPainterPath word;
    word.addText(QPointF(18, 306), font, QStringLiteral("Marbelux"));
    p.strokePath(word, QPen(QColor(255, 255, 255, 190), 3));
    p.fillPath(word, QColor(20, 40, 150));
    p.end();
    WriteJpeg(image, dir.filePath("about.jpg"));
}

} // namespace artwork
