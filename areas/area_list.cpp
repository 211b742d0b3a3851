#include "areas/area_list.h"

#include "areas/area_error.h"

#include <cmath>

namespace mx {

namespace {

// The areas as the edge rule leaves them; raises before anything changes.
QList<Area> Clamped(QList<Area> areas, const QSizeF& sheetMm) {
    for (Area& a : areas) {
        if (!std::isfinite(a.Left) || !std::isfinite(a.Right) || !std::isfinite(a.Top) || !std::isfinite(a.Bottom))
            throw EAreas(QStringLiteral("Ein Bereich hat keine gültigen Maße"));
        NormaliseArea(a, sheetMm.width(), sheetMm.height());
    }
    return areas;
}

void CheckCount(qsizetype count) {
    if (count > MaxAreas)
        throw EAreas(QStringLiteral("%1 Bereiche sind zu viele: höchstens %2 sind möglich").arg(count).arg(MaxAreas));
}

} // namespace

void TAreaList::Add(const Area& area, const QSizeF& sheetMm) { Add(QList<Area>{area}, sheetMm); }

void TAreaList::Add(const QList<Area>& areas, const QSizeF& sheetMm) {
    CheckCount(areas_.size() + areas.size());
    areas_.append(Clamped(areas, sheetMm));
}

void TAreaList::Replace(int index, const Area& area, const QSizeF& sheetMm) {
    areas_[index] = Clamped({area}, sheetMm).front();
}

void TAreaList::Assign(const QList<Area>& areas, const QSizeF& sheetMm) {
    CheckCount(areas.size());
    areas_ = Clamped(areas, sheetMm);
}

void TAreaList::Remove(int index) { areas_.removeAt(index); }

void TAreaList::ClampTo(const QSizeF& sheetMm) { areas_ = Clamped(areas_, sheetMm); }

int TAreaList::IndexAt(double xMm, double yMm) const {
    for (int i = Count() - 1; i >= 0; --i) {
        const Area& a = areas_[i];
        if (a.Left <= xMm && xMm <= a.Right && a.Top <= yMm && yMm <= a.Bottom) return i;
    }
    return -1;
}

const TAreaList& TDocumentAreas::OfPage(int page) const {
    static const TAreaList none;
    const auto found = pages_.find(page);
    return found == pages_.end() ? none : *found;
}

QList<int> TDocumentAreas::Pages() const {
    QList<int> pages;
    for (auto it = pages_.begin(); it != pages_.end(); ++it)
        if (!it->IsEmpty()) pages.append(it.key());
    return pages;
}

int TDocumentAreas::Total() const {
    int total = 0;
    for (const TAreaList& list : pages_) total += list.Count();
    return total;
}

void TDocumentAreas::ClampTo(const QSizeF& sheetMm) {
    for (TAreaList& list : pages_) list.ClampTo(sheetMm);
}

Area AreaAround(const QRectF& boxMm, double marginMm) {
    const QRectF box = boxMm.normalized();
    return {box.left() - marginMm, box.right() + marginMm, box.top() - marginMm, box.bottom() + marginMm};
}

} // namespace mx
