// Finding text on a backdrop page: where the boxes lie, the order the
// matches come in and how the next-match cycle starts over.
#include "backdrop/backdrop.h"
#include "tests/backdrop/backdrop_files.h"

#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

constexpr double SheetW = 210, SheetH = 297;

const TTestText Invoice{"Rechnung Nr. 4711", {25, 40}};
// Reading order: the upper line left to right, then the lower line.
const TTestText SampleLeft{"Muster", {30, 100}};
const TTestText SampleRight{"muster", {120, 100}};
const TTestText SampleBelow{"MUSTER", {30, 200}};

class BackdropSearch : public testing::Test {
protected:
    void SetUp() override {
        TTestPage text;
        text.Texts = {Invoice, SampleBelow, SampleRight, SampleLeft};
        TTestPage drawing;
        drawing.BlackRectsMm = {{50, 80, 60, 40}};
        TTestPage other;
        other.Texts = {{"Muster", {100, 250}}};
        backdrop = TBackdrop::FromBytes(MakePdf({text, drawing, other}), "suche.pdf");
    }

    // The box must match the writer's font box within half a millimetre.
    void ExpectAt(const std::optional<QRectF>& found, const TTestText& text) {
        ASSERT_TRUE(found.has_value()) << text.Text.toStdString();
        const QRectF want = TextBoxMm(text);
        SCOPED_TRACE(text.Text.toStdString());
        EXPECT_NEAR(found->left(), want.left(), 0.5);
        EXPECT_NEAR(found->right(), want.right(), 0.5);
        EXPECT_NEAR(found->top(), want.top(), 0.5);
        EXPECT_NEAR(found->bottom(), want.bottom(), 0.5);
    }

    std::optional<QRectF> next(const QString& text) { return backdrop->FindNext(text, SheetW, SheetH); }

    std::unique_ptr<TBackdrop> backdrop;
};

} // namespace

TEST_F(BackdropSearch, BoxLiesWhereTheTextWasWritten) {
    EXPECT_TRUE(backdrop->HasText());
    ExpectAt(next("Rechnung Nr. 4711"), Invoice);
    // A part of a word: its left edge is the text's left edge.
    const auto part = next("Rech");
    ASSERT_TRUE(part.has_value());
    EXPECT_NEAR(part->left(), TextBoxMm(Invoice).left(), 0.5);
    EXPECT_LT(part->width(), TextBoxMm(Invoice).width() / 2);
}

TEST_F(BackdropSearch, MatchesIgnoreCaseComeInReadingOrderAndCycle) {
    ExpectAt(next("muster"), SampleLeft);
    ExpectAt(next("muster"), SampleRight);
    ExpectAt(next("muster"), SampleBelow);
    ExpectAt(next("muster"), SampleLeft);
    // Another text starts at its first match, and so does the old one after it.
    ExpectAt(next("rechnung nr. 4711"), Invoice);
    ExpectAt(next("muster"), SampleLeft);
    // Another spelling is another text.
    ExpectAt(next("MUSTER"), SampleLeft);
    ExpectAt(next("MUSTER"), SampleRight);
}

TEST_F(BackdropSearch, NoMatchGivesNothing) {
    EXPECT_FALSE(next("Quittung"));
    EXPECT_FALSE(next("Quittung"));
    EXPECT_FALSE(next(""));
    EXPECT_FALSE(next("   "));
}

TEST_F(BackdropSearch, ChangingThePageStartsOverOnTheNewPage) {
    ExpectAt(next("Muster"), SampleLeft);
    backdrop->SetPage(3);
    ExpectAt(next("Muster"), {"Muster", {100, 250}});
    ExpectAt(next("Muster"), {"Muster", {100, 250}});
    backdrop->SetPage(1);
    ExpectAt(next("Muster"), SampleLeft);
}

TEST_F(BackdropSearch, PagesWithoutTextAndImagesHaveNone) {
    backdrop->SetPage(2);
    EXPECT_FALSE(backdrop->HasText());
    EXPECT_FALSE(next("Muster"));
    const auto scan = TBackdrop::FromBytes(MakeImage({100, 100}, {10, 10, 50, 20}, "png", 300), "scan.png");
    EXPECT_FALSE(scan->HasText());
    EXPECT_FALSE(scan->FindNext("Muster", SheetW, SheetH));
}

// The page's own words, read by the text layer: a name broken over two
// lines is found, one box on each line.
TEST(BackdropWordSearch, AMatchAcrossALineBreakIsFoundOnBothLines) {
    TTestPage page;
    page.Texts = {{"Kontoinhaber Erika Muster-", {30, 100}}, {"mann, Berlin", {30, 106}}};
    const auto backdrop = TBackdrop::FromBytes(MakePdf({page}), "zeilen.pdf");
    const QList<QRectF> boxes = backdrop->FindAll("mustermann", SheetW, SheetH);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_LT(boxes[0].bottom(), boxes[1].top() + 1);
    EXPECT_NEAR(boxes[1].left(), 30, 0.5);
    EXPECT_GT(boxes[0].left(), TextBoxMm({"Kontoinhaber Erika ", {30, 100}}).right() - 1);
    const auto found = backdrop->FindNext("Erika Mustermann", SheetW, SheetH);
    ASSERT_TRUE(found);
    EXPECT_NEAR(found->top(), boxes[0].top(), 1.5);
    EXPECT_NEAR(found->bottom(), boxes[1].bottom(), 0.5);
    // The words, placed on the sheet as the page is.
    const TTextWords words = backdrop->WordsMm(SheetW, SheetH);
    ASSERT_GE(words.size(), 5);
    EXPECT_EQ(words.first().Text, "Kontoinhaber");
    EXPECT_NEAR(words.first().Box.left(), 30, 0.5);
    EXPECT_EQ(words.last().Line, words.first().Line + 1);
}
