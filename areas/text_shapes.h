#pragma once
// Character tests and readers the recognisers share. Positions outside the
// text read as U+0000, which is neither a letter nor a digit.
#include <QList>
#include <QString>

namespace mx::shapes {

inline QChar At(const QString& t, int i) { return i >= 0 && i < t.size() ? t[i] : QChar(); }
inline bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
inline int DigitValue(QChar c) { return c.unicode() - u'0'; }
inline bool IsAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
inline bool IsAsciiAlnum(QChar c) { return IsDigit(c) || IsAsciiLetter(c); }
inline bool IsLineBreak(QChar c) { return c == u'\n'; }
inline bool IsWordBreak(QChar c) { return c == u' '; }

// No letter or digit touches position i from before / after.
inline bool StartsToken(const QString& t, int i) { return !At(t, i - 1).isLetterOrNumber(); }
inline bool EndsToken(const QString& t, int i) { return !At(t, i).isLetterOrNumber(); }

// A digit and one separator stand right before i: whatever starts at i
// continues a longer number.
template <class Separator>
bool FollowsDigitGroup(const QString& t, int i, Separator isSeparator) {
    return isSeparator(At(t, i - 1)) && IsDigit(At(t, i - 2));
}

// A decimal or dotted number goes on at i ("1234.56", "12.03.").
inline bool GoesOnAsNumber(const QString& t, int i) {
    return (At(t, i) == u'.' || At(t, i) == u',') && IsDigit(At(t, i + 1));
}

// The end of the run of characters accepted by accept from i.
template <class Accept>
int RunEnd(const QString& t, int i, Accept accept) {
    while (i < t.size() && accept(t[i])) ++i;
    return i;
}

struct TGroup {
    int From = 0, To = 0;
    int Size() const { return To - From; }
};

// Runs of characters accepted by inGroup from i on, each pair separated by
// exactly one character accepted by isSeparator; at most maxGroups.
template <class InGroup, class Separator>
QList<TGroup> ReadGroups(const QString& t, int i, InGroup inGroup, Separator isSeparator, int maxGroups) {
    QList<TGroup> groups;
    while (groups.size() < maxGroups) {
        const int end = RunEnd(t, i, inGroup);
        if (end == i) break;
        groups.append({i, end});
        if (!isSeparator(At(t, end)) || !inGroup(At(t, end + 1))) break;
        i = end + 1;
    }
    return groups;
}

// The characters of the groups, without the separators.
inline QString Joined(const QString& t, const QList<TGroup>& groups, int count) {
    QString s;
    for (int g = 0; g < count; ++g) s += QStringView(t).mid(groups[g].From, groups[g].Size());
    return s;
}

} // namespace mx::shapes
