#include "backdrop/text_search.h"

#include <QMap>

namespace mx {

namespace {

bool IsBreak(QChar c) { return c.isSpace(); }

// One character for comparing: case folded, and the hyphens a layout puts
// at a line's end (soft, non-breaking) taken as the plain one.
QChar Folded(QChar c) {
    switch (c.unicode()) {
    case 0x00AD:
    case 0x2010:
    case 0x2011: return u'-';
    default: return c.isSurrogate() ? c : c.toCaseFolded();
    }
}

QString FoldedText(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) c = Folded(c);
    return folded;
}

bool HyphenatedLineEnd(const QString& page, int p) {
    return page[p] == u'-' && p + 1 < page.size() && page[p + 1] == u'\n';
}

// The end of the match of needle (folded, one blank for each gap) at p in
// the folded page, or -1. No choice ever needs undoing: a gap takes every
// break before the next character, and a hyphenated line end either meets
// a hyphen of the needle or is passed over whole.
int MatchEnd(const QString& page, int p, const QString& needle) {
    for (int q = 0; q < needle.size();) {
        const QChar n = needle[q];
        if (n == u' ') {
            if (p >= page.size() || !IsBreak(page[p])) return -1;
            while (p < page.size() && IsBreak(page[p])) ++p;
            ++q;
            continue;
        }
        if (p >= page.size()) return -1;
        if (q > 0 && HyphenatedLineEnd(page, p)) {
            if (n != u'-') {
                p += 2; // "Muster-" + "mann" read as "Mustermann"
                continue;
            }
            ++p, ++q;
            // "Rhein-" + "Main" read as "Rhein-Main" as well
            if (q < needle.size() && needle[q] != u' ') ++p;
            continue;
        }
        if (page[p] != n) return -1;
        ++p, ++q;
    }
    return p;
}

} // namespace

TWordText::TWordText(const TTextWords& words) : words_(words) {
    int line = 0;
    bool first = true;
    for (int w = 0; w < words_.size(); ++w) {
        const TTextWord& word = words_[w];
        if (word.Text.isEmpty()) continue;
        if (!first) {
            text_ += word.Line != line ? u'\n' : u' ';
            at_.push_back({});
        }
        first = false;
        line = word.Line;
        for (int c = 0; c < word.Text.size(); ++c) {
            // A blank inside a word must not read as a line break.
            text_ += IsBreak(word.Text[c]) ? QChar(u' ') : word.Text[c];
            at_.push_back({w, c});
        }
    }
}

QList<QRectF> TWordText::Boxes(int from, int to) const {
    from = std::max(from, 0);
    to = std::min(to, int(text_.size()));
    QList<int> lines; // in the order first touched
    QMap<int, QRectF> boxOfLine;
    for (int i = from; i < to;) {
        const int w = at_[size_t(i)].Word;
        if (w < 0) {
            ++i;
            continue;
        }
        const int first = at_[size_t(i)].Char;
        while (i < to && at_[size_t(i)].Word == w) ++i;
        const int end = at_[size_t(i - 1)].Char + 1;
        const TTextWord& word = words_[w];
        QRectF part = word.Box;
        if (first > 0 || end < word.Text.size()) {
            const double share = word.Box.width() / double(word.Text.size());
            part.setLeft(word.Box.left() + share * first);
            part.setRight(word.Box.left() + share * end);
        }
        if (!boxOfLine.contains(word.Line)) {
            lines.append(word.Line);
            boxOfLine.insert(word.Line, part);
        } else {
            QRectF& box = boxOfLine[word.Line];
            box = QRectF(QPointF(std::min(box.left(), part.left()), std::min(box.top(), part.top())),
                         QPointF(std::max(box.right(), part.right()), std::max(box.bottom(), part.bottom())));
        }
    }
    QList<QRectF> boxes;
    for (const int line : lines) boxes.append(boxOfLine.value(line));
    return boxes;
}

QString TWordText::Excerpt(int from, int to) const {
    QString part = text_.mid(from, to - from);
    part.replace(u'\n', u' ');
    return part;
}

QList<TTextMatch> FindText(const TWordText& page, const QString& text) {
    const QString needle = FoldedText(text.simplified());
    QList<TTextMatch> matches;
    if (needle.isEmpty()) return matches;
    const QString folded = FoldedText(page.Text());
    for (int p = 0; p < folded.size();) {
        const int end = MatchEnd(folded, p, needle);
        if (end < 0) {
            ++p;
            continue;
        }
        matches.append({p, end, page.Boxes(p, end)});
        p = end;
    }
    return matches;
}

QList<TTextMatch> FindText(const TTextWords& words, const QString& text) { return FindText(TWordText(words), text); }

} // namespace mx
