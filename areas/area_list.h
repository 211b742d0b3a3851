#pragma once
// The further areas beside the Parts' current one: a list per backdrop
// page (one without a backdrop), each area kept on the sheet by the edge
// rule's clamping. Values only: the window draws and prints them.
#include "geometry/sheet_math.h"

#include <QList>
#include <QMap>
#include <QRectF>
#include <QSizeF>

namespace mx {

// No list holds more: a job fills every area of a page on one sheet.
inline constexpr int MaxAreas = 999;

class TAreaList {
public:
    int Count() const { return int(areas_.size()); }
    bool IsEmpty() const { return areas_.isEmpty(); }
    const QList<Area>& Areas() const { return areas_; }
    const Area& At(int index) const { return areas_.at(index); }

    // Each takes the areas as the edge rule leaves them on a sheet of
    // sheetMm (NormaliseArea). Raises EAreas, changing nothing, when the
    // list would hold more than MaxAreas or an edge is not a number.
    void Add(const Area& area, const QSizeF& sheetMm);
    void Add(const QList<Area>& areas, const QSizeF& sheetMm);
    void Replace(int index, const Area& area, const QSizeF& sheetMm);
    // All areas at once (a loaded set).
    void Assign(const QList<Area>& areas, const QSizeF& sheetMm);

    void Remove(int index);
    void Clear() { areas_.clear(); }
    // After the sheet changed.
    void ClampTo(const QSizeF& sheetMm);

    // The number of the area (from 0) that the point lies in, the last
    // added first, as it is drawn on top; -1 for none.
    int IndexAt(double xMm, double yMm) const;

private:
    QList<Area> areas_;
};

// The lists of a document: page 1 to n of a backdrop, or page 0 for the
// sheet without one.
class TDocumentAreas {
public:
    TAreaList& OfPage(int page) { return pages_[page]; }
    // An empty list for a page without areas.
    const TAreaList& OfPage(int page) const;
    // Pages whose list is not empty, in order.
    QList<int> Pages() const;
    int Total() const;
    void Clear() { pages_.clear(); }
    void ClampTo(const QSizeF& sheetMm);

private:
    QMap<int, TAreaList> pages_;
};

// The area over a box in sheet millimetres with margin on every side (the
// search's matches and the proposals get 1 mm).
Area AreaAround(const QRectF& boxMm, double marginMm);

} // namespace mx
