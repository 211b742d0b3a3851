// Payment card numbers: 13 to 19 digits in one word or in groups, with a
// known issuer's prefix and a valid Luhn check digit.
#include "areas/recognisers.h"
#include "areas/text_shapes.h"

namespace mx {

using namespace shapes;

namespace {

constexpr int ShortestCard = 13, LongestCard = 19;

int Prefix(QStringView digits, int length) { return digits.left(length).toInt(); }

bool IsGroupSeparator(QChar c) { return IsWordBreak(c) || c == u'-'; }

} // namespace

bool LuhnValid(QStringView digits) {
    if (digits.isEmpty()) return false;
    int sum = 0;
    bool twice = false;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (!IsDigit(digits[i])) return false;
        int d = DigitValue(digits[i]);
        if (twice && (d *= 2) > 9) d -= 9;
        sum += d;
        twice = !twice;
    }
    return sum % 10 == 0;
}

// Visa 4; Mastercard 51-55 and 2221-2720; Maestro and others 50, 56-59;
// American Express 34, 37; JCB 35; Diners Club 300-305, 36, 38, 39;
// Discover, UnionPay and Maestro 6.
bool CardPrefixKnown(QStringView digits) {
    if (digits.size() < 4) return false;
    switch (digits[0].unicode()) {
    case u'4':
    case u'5':
    case u'6': return true;
    case u'3': {
        const int two = Prefix(digits, 2), three = Prefix(digits, 3);
        return two >= 34 || (three >= 300 && three <= 305);
    }
    case u'2': return Prefix(digits, 4) >= 2221 && Prefix(digits, 4) <= 2720;
    default: return false;
    }
}

QList<TSpan> FindCardNumbers(const QString& t) {
    QList<TSpan> found;
    const auto valid = [](QStringView digits) {
        return digits.size() >= ShortestCard && digits.size() <= LongestCard && CardPrefixKnown(digits) &&
               LuhnValid(digits);
    };
    for (int i = 0; i < t.size(); ++i) {
        if (!IsDigit(t[i]) || !StartsToken(t, i) || FollowsDigitGroup(t, i, IsGroupSeparator)) continue;
        const int wordEnd = RunEnd(t, i, IsDigit);
        if (wordEnd - i > 4) {
            // One word: the whole of it.
            if (EndsToken(t, wordEnd) && !GoesOnAsNumber(t, wordEnd) && valid(QStringView(t).mid(i, wordEnd - i))) {
                found.append({i, wordEnd});
                i = wordEnd;
            }
            continue;
        }
        // Groups: four digits first, then groups of three to six, all
        // joined by the same separator; the longest run that checks.
        const QChar separator = At(t, wordEnd);
        const auto sameSeparator = [separator](QChar c) { return IsGroupSeparator(c) && c == separator; };
        const QList<TGroup> groups = ReadGroups(t, i, IsDigit, sameSeparator, LongestCard / 3 + 1);
        if (groups[0].Size() != 4) continue;
        int usable = 1, length = 4;
        while (usable < groups.size() && groups[usable].Size() >= 3 && groups[usable].Size() <= 6 &&
               length + groups[usable].Size() <= LongestCard)
            length += groups[usable++].Size();
        for (int take = usable; take > 1; --take) {
            if (!EndsToken(t, groups[take - 1].To) || GoesOnAsNumber(t, groups[take - 1].To)) continue;
            if (valid(Joined(t, groups, take))) {
                found.append({i, groups[take - 1].To});
                i = groups[take - 1].To;
                break;
            }
        }
    }
    return found;
}

} // namespace mx
