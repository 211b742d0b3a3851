// Which of Tesseract's words are kept as text, and how their lines are
// numbered afterwards.
#include "ocr/ocr_module.h"
#include "ocr/readable_words.h"

#include <gtest/gtest.h>

using namespace mx;

namespace {

TRecognisedWord Word(const QString& text, int line, int block, double confidence, int x = 0) {
    return {text, QRect(x, line * 40, 60, 30), line, block, confidence};
}

QStringList Texts(const TTextWords& words) {
    QStringList texts;
    for (const TTextWord& w : words) texts << w.Text;
    return texts;
}

} // namespace

TEST(ReadableWords, StrokesSpecksAndDoubtfulWordsAreLeftOut) {
    const TTextWords words =
        ReadableWords({Word("Rechnung", 0, 0, 96), Word("|", 0, 0, 91, 100), Word(" — ", 0, 0, 88, 200),
                       Word("Nr.", 0, 0, 93, 300), Word("xq~", 0, 0, 12, 400), Word("4711", 0, 0, 95, 500)});
    EXPECT_EQ(Texts(words), QStringList({"Rechnung", "Nr.", "4711"}));
    EXPECT_EQ(words[2].Box, QRectF(500, 0, 60, 30));
}

// A block that reads as garbage is a stamp or a picture, even if some of
// its words happen to look like words.
TEST(ReadableWords, BlockOfGarbageIsLeftOutWhole) {
    const TTextWords words =
        ReadableWords({Word("Sehr", 0, 0, 95), Word("geehrte", 0, 0, 94, 100), Word("Damen", 0, 0, 93, 200),
                       Word("Jap", 1, 1, 94), Word("ʇsǝ", 1, 1, 20, 100), Word("sep", 2, 1, 45)});
    EXPECT_EQ(Texts(words), QStringList({"Sehr", "geehrte", "Damen"}));
}

// A page upside down reads as garbage as a whole, though a short block of
// it may read well.
TEST(ReadableWords, PageOfGarbageGivesNothing) {
    EXPECT_TRUE(ReadableWords({Word("€Z0Z", 0, 0, 86), Word("Jyer", 0, 0, 82, 100), Word("uǝʇsoʞuǝqǝN", 1, 1, 31),
                               Word("ɹǝp", 1, 1, 25, 100), Word("bunʇʇɐʇsɹƎ", 2, 1, 28), Word("Jap", 3, 2, 94),
                               Word("ǝɥǝ", 3, 2, 12, 100)})
                    .isEmpty());
}

TEST(ReadableWords, LinesAreNumberedAgainWithoutGaps) {
    const TTextWords words =
        ReadableWords({Word("Kontoauszug", 0, 0, 95), Word("~~", 1, 0, 60), Word("IBAN", 2, 0, 96),
                       Word("DE89", 2, 0, 93, 100), Word("Seite", 5, 1, 94), Word("1", 5, 1, 90, 100)});
    ASSERT_EQ(Texts(words), QStringList({"Kontoauszug", "IBAN", "DE89", "Seite", "1"}));
    EXPECT_EQ(words[0].Line, 0);
    EXPECT_EQ(words[1].Line, 1);
    EXPECT_EQ(words[2].Line, 1);
    EXPECT_EQ(words[3].Line, 2);
    EXPECT_EQ(words[4].Line, 2);
}

TEST(ReadableWords, NothingFromNothing) { EXPECT_TRUE(ReadableWords({}).isEmpty()); }
