#pragma once
// Finding text in a page's words (PDF text layer or a read scan) without
// the renderer: every match, across word breaks and line breaks, with one
// box per line it touches. The proposals read the same joined text.
#include "platform/text_word.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <vector>

namespace mx {

// The words as one string: one blank between the words of a line, a line
// break between lines, so that a position in the string leads back to a
// word and a character in it.
class TWordText {
public:
    explicit TWordText(const TTextWords& words);

    const QString& Text() const { return text_; }
    const TTextWords& Words() const { return words_; }
    // The word of the character at i, -1 for the breaks between words.
    int WordAt(int i) const { return at_[size_t(i)].Word; }

    // The boxes of the characters from..to-1: one per line touched, the
    // union of the covered parts of its words. A part of a word gets the
    // share of the word's box that its characters have of the word.
    QList<QRectF> Boxes(int from, int to) const;
    // The characters from..to-1 as they stand on the page, each break
    // between words as one blank.
    QString Excerpt(int from, int to) const;

private:
    struct TPlace {
        int Word = -1;
        int Char = 0;
    };
    TTextWords words_;
    QString text_;
    std::vector<TPlace> at_;
};

// A match: its characters in TWordText::Text() (from..to-1) and its boxes
// in the words' units, one per line, top line first.
struct TTextMatch {
    int From = 0, To = 0;
    QList<QRectF> Boxes;
};

// Every match of text, ignoring case, in reading order and not
// overlapping. A run of blanks in text matches any break between words,
// also a line break; a word hyphenated at a line's end ("Muster-" before
// "mann") matches with and without its hyphen. Matches may begin and end
// inside a word. Blank text matches nothing.
QList<TTextMatch> FindText(const TWordText& page, const QString& text);
QList<TTextMatch> FindText(const TTextWords& words, const QString& text);

} // namespace mx
