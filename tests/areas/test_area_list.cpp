// The lists of further areas: kept on the sheet like the Parts' area, at
// most 999, one list per backdrop page.
#include "areas/area_error.h"
#include "areas/area_list.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <limits>

using namespace mx;
using namespace mx::test;

namespace {

const QSizeF A4{210, 297};

std::vector<double> Edges(const Area& a) { return {a.Left, a.Right, a.Top, a.Bottom}; }

std::vector<std::vector<double>> EdgesOf(const TAreaList& list) {
    std::vector<std::vector<double>> all;
    for (const Area& a : list.Areas()) all.push_back(Edges(a));
    return all;
}

QList<Area> Many(int count) {
    QList<Area> areas;
    for (int i = 0; i < count; ++i) areas.append(Area{1, 2, double(i % 290), double(i % 290 + 1)});
    return areas;
}

} // namespace

TEST(AreaList, AreasAreKeptOnTheSheetLikeTheEdgeRuleKeepsThem) {
    TAreaList list;
    list.Add(Area{20, 60, 30, 40}, A4);
    list.Add(Area{60, 20, 40, 30}, A4);     // reversed edges are exchanged
    list.Add(Area{-5, 300, -1, 400}, A4);   // off the sheet on every side
    list.Add(Area{250, 260, 310, 320}, A4); // wholly beyond the sheet: a line on its corner
    EXPECT_EQ(EdgesOf(list), (std::vector<std::vector<double>>{
                                 {20, 60, 30, 40}, {20, 60, 30, 40}, {0, 210, 0, 297}, {210, 210, 297, 297}}));
    list.Replace(0, Area{200, 220, -3, 5}, A4);
    EXPECT_EQ(Edges(list.At(0)), (std::vector<double>{200, 210, 0, 5}));
    // A smaller sheet clamps what is there.
    list.ClampTo(QSizeF(100, 100));
    EXPECT_EQ(EdgesOf(list), (std::vector<std::vector<double>>{
                                 {100, 100, 0, 5}, {20, 60, 30, 40}, {0, 100, 0, 100}, {100, 100, 100, 100}}));
    list.Remove(1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(Edges(list.At(1)), (std::vector<double>{0, 100, 0, 100}));
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(AreaList, AtMost999AreasAndNothingChangesWhenRefused) {
    TAreaList list;
    list.Assign(Many(998), A4);
    list.Add(Area{5, 6, 7, 8}, A4);
    EXPECT_EQ(list.Count(), MaxAreas);
    EXPECT_EQ(MessageOfError<EAreas>([&] {
                  list.Add(Area{1, 2, 3, 4}, A4);
              }),
              "1000 Bereiche sind zu viele: höchstens 999 sind möglich");
    EXPECT_EQ(list.Count(), 999);

    TAreaList fresh;
    fresh.Add(Many(10), A4);
    EXPECT_THROW(fresh.Add(Many(990), A4), EAreas); // all or nothing
    EXPECT_THROW(fresh.Assign(Many(1000), A4), EAreas);
    EXPECT_EQ(fresh.Count(), 10);
}

TEST(AreaList, EdgesThatAreNoNumbersAreRefused) {
    TAreaList list;
    list.Add(Area{1, 2, 3, 4}, A4);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(MessageOfError<EAreas>([&] { list.Add(Area{nan, 2, 3, 4}, A4); }), "Ein Bereich hat keine gültigen Maße");
    EXPECT_THROW(list.Add({Area{1, 2, 3, 4}, Area{1, inf, 3, 4}}, A4), EAreas);
    EXPECT_THROW(list.Replace(0, Area{1, 2, -inf, 4}, A4), EAreas);
    EXPECT_EQ(EdgesOf(list), (std::vector<std::vector<double>>{{1, 2, 3, 4}}));
}

TEST(AreaList, IndexAtFindsTheTopmostArea) {
    TAreaList list;
    list.Add({Area{10, 50, 10, 50}, Area{40, 80, 40, 80}}, A4);
    EXPECT_EQ(list.IndexAt(20, 20), 0);
    EXPECT_EQ(list.IndexAt(45, 45), 1); // drawn last, on top
    EXPECT_EQ(list.IndexAt(80, 80), 1); // edges belong to the area
    EXPECT_EQ(list.IndexAt(5, 45), -1);
}

TEST(AreaList, EachBackdropPageKeepsItsOwnList) {
    TDocumentAreas document;
    document.OfPage(2).Add(Area{1, 2, 3, 4}, A4);
    document.OfPage(1).Add({Area{5, 6, 7, 8}, Area{300, 400, 1, 2}}, A4);
    document.OfPage(0);
    EXPECT_EQ(document.Pages(), (QList<int>{1, 2}));
    EXPECT_EQ(document.Total(), 3);
    const TDocumentAreas& shown = document;
    EXPECT_TRUE(shown.OfPage(3).IsEmpty());
    EXPECT_EQ(Edges(shown.OfPage(1).At(1)), (std::vector<double>{210, 210, 1, 2}));
    document.ClampTo(QSizeF(5.5, 100));
    EXPECT_EQ(Edges(shown.OfPage(1).At(0)), (std::vector<double>{5, 5.5, 7, 8}));
    document.Clear();
    EXPECT_EQ(document.Total(), 0);
}

TEST(AreaList, AreaAroundABoxHasTheMarginOnEverySide) {
    EXPECT_EQ(Edges(AreaAround(QRectF(20, 30, 40, 5), 1)), (std::vector<double>{19, 61, 29, 36}));
    EXPECT_EQ(Edges(AreaAround(QRectF(60, 35, -40, -5), 1)), (std::vector<double>{19, 61, 29, 36}));
}
