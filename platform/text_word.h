#pragma once
// A page's text as words with their boxes, in reading order: what a PDF's
// text layer or the recognition of a scan gives, and what the search and
// the proposals read. Qt value types only, so modules can share it.
#include <QList>
#include <QRectF>
#include <QString>

namespace mx {

struct TTextWord {
    QString Text;
    // From the page's top-left corner, in the units of whoever holds the
    // list: page units (PDF points, image pixels) or sheet millimetres.
    QRectF Box;
    // Words of one line share it; lines are numbered in reading order.
    int Line = 0;
    bool operator==(const TTextWord&) const = default;
};

using TTextWords = QList<TTextWord>;

} // namespace mx
