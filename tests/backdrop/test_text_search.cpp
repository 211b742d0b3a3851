// Finding text in a page's words: every match with one box per line,
// across word and line breaks, hyphenated line ends and parts of words.
#include "backdrop/text_search.h"
#include "tests/support/page_words.h"

#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

QList<QList<QRectF>> BoxesOf(const QList<TTextMatch>& matches) {
    QList<QList<QRectF>> boxes;
    for (const TTextMatch& m : matches) boxes.append(m.Boxes);
    return boxes;
}

QList<QList<QRectF>> Find(const QStringList& lines, const QString& text) {
    return BoxesOf(FindText(PageWords(lines), text));
}

} // namespace

TEST(TextSearch, EveryMatchInReadingOrderIgnoringCase) {
    const QStringList page{"Muster GmbH, Herr muster", "MUSTER-Straße 1"};
    EXPECT_EQ(Find(page, "muster"),
              (QList<QList<QRectF>>{{CharsBox(0, 0, 6)}, {CharsBox(0, 18, 6)}, {CharsBox(1, 0, 6)}}));
    // Umlauts and sharp s fold like other letters.
    EXPECT_EQ(Find({"Ärger über Straße"}, "äRGER ÜBER"), (QList<QList<QRectF>>{{CharsBox(0, 0, 10)}}));
    EXPECT_TRUE(Find(page, "Musterfrau").isEmpty());
    EXPECT_TRUE(Find(page, "   ").isEmpty());
    EXPECT_TRUE(Find(page, "").isEmpty());
    EXPECT_TRUE(Find({}, "muster").isEmpty());
}

TEST(TextSearch, MatchesDoNotOverlap) {
    EXPECT_EQ(Find({"aaaaa"}, "aa"), (QList<QList<QRectF>>{{CharsBox(0, 0, 2)}, {CharsBox(0, 2, 2)}}));
}

TEST(TextSearch, PartOfAWordGetsItsShareOfTheBox) {
    // "IBAN:" is one word; the search text is only the letters.
    EXPECT_EQ(Find({"Ihre IBAN: DE89"}, "iban"), (QList<QList<QRectF>>{{CharsBox(0, 5, 4)}}));
    EXPECT_EQ(Find({"Kontonummer"}, "nummer"), (QList<QList<QRectF>>{{CharsBox(0, 5, 6)}}));
    // A word whose box is not monospaced: the share is by characters.
    TTextWords words{{"Abcd", QRectF(100, 50, 40, 8), 0}};
    const QList<TTextMatch> found = FindText(words, "bc");
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].Boxes, QList<QRectF>{QRectF(110, 50, 20, 8)});
}

TEST(TextSearch, BlanksMatchAnyBreakBetweenWords) {
    const QStringList page{"Max Mustermann", "Hauptstraße 5"};
    const QList<QList<QRectF>> oneLine{{CharsBox(0, 0, 14)}};
    EXPECT_EQ(Find(page, "max mustermann"), oneLine);
    EXPECT_EQ(Find(page, "  Max \t  Mustermann\n"), oneLine);
    EXPECT_TRUE(Find(page, "MaxMustermann").isEmpty()); // no blank, no break
    // Across the line break: one box per line, each the matched part.
    EXPECT_EQ(Find(page, "Mustermann Haupt"), (QList<QList<QRectF>>{{CharsBox(0, 4, 10), CharsBox(1, 0, 5)}}));
    // Words far apart on a line join into one box over the gap.
    TTextWords spaced{{"Konto", QRectF(10, 0, 10, 4), 0}, {"4711", QRectF(80, 1, 8, 4), 0}};
    const QList<TTextMatch> found = FindText(spaced, "konto 4711");
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].Boxes, QList<QRectF>{QRectF(10, 0, 78, 5)});
}

TEST(TextSearch, HyphenatedLineEndMatchesWithAndWithoutItsHyphen) {
    const QStringList page{"Herr Muster-", "mann wohnt im Rhein-", "Main-Gebiet"};
    // The hyphen belongs to the first line's box.
    EXPECT_EQ(Find(page, "Mustermann"), (QList<QList<QRectF>>{{CharsBox(0, 5, 7), CharsBox(1, 0, 4)}}));
    EXPECT_EQ(Find(page, "Rhein-Main"), (QList<QList<QRectF>>{{CharsBox(1, 14, 6), CharsBox(2, 0, 4)}}));
    EXPECT_EQ(Find(page, "rhein- main").size(), 1);
    // A match begins at a letter, not at the hyphen before the break.
    EXPECT_EQ(Find(page, "mann wohnt"), (QList<QList<QRectF>>{{CharsBox(1, 0, 10)}}));
    // Inside a line a hyphen is a character like any other.
    EXPECT_TRUE(Find({"Muster- mann"}, "Mustermann").isEmpty());
    EXPECT_TRUE(Find({"Main-Gebiet"}, "MainGebiet").isEmpty());
    // The soft hyphen a layout puts at a line's end counts as one.
    const QList<QList<QRectF>> soft = Find({QStringLiteral("Steuer\u00AD"), "nummer"}, "Steuernummer");
    EXPECT_EQ(soft, (QList<QList<QRectF>>{{CharsBox(0, 0, 7), CharsBox(1, 0, 6)}}));
}

TEST(TextSearch, JoinedTextLeadsBackToTheWords) {
    TTextWords words = PageWords({"eins zwei", "drei"});
    words.insert(1, TTextWord{"", QRectF(0, 0, 1, 1), 0}); // empty words leave no trace
    const TWordText page(words);
    EXPECT_EQ(page.Text(), "eins zwei\ndrei");
    EXPECT_EQ(page.WordAt(0), 0);
    EXPECT_EQ(page.WordAt(4), -1);
    EXPECT_EQ(page.WordAt(5), 2);
    EXPECT_EQ(page.Excerpt(5, 14), "zwei drei");
    EXPECT_EQ(page.Boxes(3, 6), (QList<QRectF>{CharsBox(0, 3, 3)}));
    // A blank inside a word is no line break.
    EXPECT_EQ(TWordText({{"a\nb", QRectF(), 0}}).Text(), "a b");
}
