#pragma once
// Page words for the search and proposal tests, laid out like a
// monospaced page: every character 2 units wide, a blank between words,
// lines 10 units apart and 4 high.
#include "platform/text_word.h"

#include <QStringList>

namespace mx::test {

inline constexpr double CharWidth = 2, LineHeight = 10, TextHeight = 4;

// The words of the lines, split at blanks, in reading order.
inline TTextWords PageWords(const QStringList& lines) {
    TTextWords words;
    for (int line = 0; line < lines.size(); ++line) {
        int column = 0;
        for (const QString& part : lines[line].split(u' ')) {
            if (!part.isEmpty())
                words.append(
                    {part, QRectF(column * CharWidth, line * LineHeight, part.size() * CharWidth, TextHeight), line});
            column += int(part.size()) + 1;
        }
    }
    return words;
}

// The box of the characters first..first+count-1 of a line, by the layout
// above.
inline QRectF CharsBox(int line, int first, int count) {
    return QRectF(first * CharWidth, line * LineHeight, count * CharWidth, TextHeight);
}

} // namespace mx::test
