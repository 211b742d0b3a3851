#pragma once
// Drawing pieces shared by several pictures, in vector style.
#include <QColor>
#include <QRectF>

class QPainter;
class QPolygonF;

namespace artwork {

// A keyboard seen from the front and above; quad gives its four corners
// (back left, back right, front right, front left).
void DrawKeyboard(QPainter& p, const QPolygonF& quad);

// A sheet of paper with lines of text, optionally blacked out across the
// band [barTop, barBottom) given as fractions of its height.
void DrawSheet(QPainter& p, const QRectF& r, double barTop = -1, double barBottom = -1);

// A desktop printer whose body fills r; a sheet stands out of its top slot.
void DrawPrinter(QPainter& p, const QRectF& r);

// A globe with meridians and the equator, plus two more parallels if asked.
void DrawGlobe(QPainter& p, const QRectF& r, QColor sea, QColor land, QColor grid, bool parallels);

// Soft background of a column picture: calm at the top, a desk below.
void DrawBackdrop(QPainter& p, const QRectF& r, double deskY);

} // namespace artwork
