// Telephone numbers: national German forms (030 1234567, 030/1234567,
// (030) 123 45 67, 0171-1234567, 030 12 34 56-78) and international ones
// (+49 30 1234567, +49 (0)30 1234567, 0049 30 1234567, +1 212 555 0100).
#include "areas/recognisers.h"
#include "areas/text_shapes.h"

#include <optional>

namespace mx {

using namespace shapes;

namespace {

// Digits in E.164 terms (country code and national number): a German
// number written nationally counts the country code's two. Eight at least
// leaves out a postcode ("01067") and short numbers of other kinds.
constexpr int FewestDigits = 8, MostDigits = 15, GermanCountryDigits = 2;

bool IsNonZeroDigit(QChar c) { return IsDigit(c) && c != u'0'; }

struct TNumber {
    QList<TGroup> Groups; // the digit groups, "(0)" left out
    QList<QChar> Joins;   // the separator before each group after the first
    bool International = false;
};

// After the first group: a blank, "/" or "-" (with a blank on either side
// or none), ")" closing a bracketed area code, and "(0)" after a country
// code. The position of the next group's first digit, or nothing.
std::optional<int> JoinAt(const QString& t, int p, const TNumber& number, QChar& join) {
    if (number.International && number.Groups.size() == 1) {
        int q = p;
        if (IsWordBreak(At(t, q))) ++q;
        if (At(t, q) == u'(' && At(t, q + 1) == u'0' && At(t, q + 2) == u')') {
            q += 3;
            if (IsWordBreak(At(t, q))) ++q;
            if (IsDigit(At(t, q))) {
                join = u' ';
                return q;
            }
        }
    }
    int q = p;
    join = u' ';
    if (IsWordBreak(At(t, q))) ++q;
    if (At(t, q) == u'/' || At(t, q) == u'-') {
        join = At(t, q++);
        if (IsWordBreak(At(t, q))) ++q;
    }
    if (q == p || !IsDigit(At(t, q))) return std::nullopt;
    return q;
}

// The start of a number at i: "+" or "00" and a country code, "(0" and an
// area code, or "0" and an area code. Its first group goes to number.
std::optional<int> FirstGroup(const QString& t, int i, TNumber& number) {
    int p = i;
    bool bracket = false;
    if (At(t, p) == u'+' || (At(t, p) == u'0' && At(t, p + 1) == u'0')) {
        number.International = true;
        p += At(t, p) == u'+' ? 1 : 2;
        if (!IsNonZeroDigit(At(t, p))) return std::nullopt;
    } else {
        bracket = At(t, p) == u'(';
        if (bracket) ++p;
        if (At(t, p) != u'0' || !IsNonZeroDigit(At(t, p + 1))) return std::nullopt;
    }
    const int end = RunEnd(t, p, IsDigit);
    number.Groups.append({p, end});
    if (!bracket) return end;
    if (At(t, end) != u')' || end - p > 6) return std::nullopt;
    // The ")" joins the next group, with a blank or without.
    const int next = IsWordBreak(At(t, end + 1)) ? end + 2 : end + 1;
    if (!IsDigit(At(t, next))) return std::nullopt;
    number.Joins.append(u' ');
    number.Groups.append({next, RunEnd(t, next, IsDigit)});
    return number.Groups.last().To;
}

int DigitCount(const TNumber& number, int groups) {
    int digits = number.International ? 0 : GermanCountryDigits - 1; // the leading 0 is no digit of E.164
    for (int g = 0; g < groups; ++g) digits += number.Groups[g].Size();
    return digits;
}

// Three groups joined alike that make a day of the calendar
// ("01-03-2024", "01/03/24", "2024-03-01") are a date.
bool ReadsAsDate(const QString& t, const TNumber& number, int groups) {
    if (groups != 3 || number.Joins[0] != number.Joins[1]) return false;
    const auto value = [&](int g) {
        return QStringView(t).mid(number.Groups[g].From, number.Groups[g].Size()).toInt();
    };
    const int a = number.Groups[0].Size(), b = number.Groups[1].Size(), c = number.Groups[2].Size();
    if (a == 4 && b == 2 && c == 2) return IsCalendarDate(value(0), value(1), value(2));
    if (a <= 2 && b <= 2 && (c == 2 || c == 4))
        return IsCalendarDate(c == 2 ? 2000 + value(2) : value(2), value(1), value(0));
    return false;
}

} // namespace

QList<TSpan> FindPhoneNumbers(const QString& t) {
    QList<TSpan> found;
    // Not the tail of a longer number: "0044 0532", "12.0301".
    const auto numberJoin = [](QChar c) {
        return IsWordBreak(c) || c == u'/' || c == u'-' || c == u'.' || c == u',' || c == u'+';
    };
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if ((c != u'+' && c != u'(' && c != u'0') || !StartsToken(t, i) || At(t, i - 1) == u'+' ||
            FollowsDigitGroup(t, i, numberJoin))
            continue;
        TNumber number;
        std::optional<int> end = FirstGroup(t, i, number);
        while (end) {
            QChar join;
            const std::optional<int> next = JoinAt(t, *end, number, join);
            if (!next) break;
            number.Joins.append(join);
            number.Groups.append({*next, RunEnd(t, *next, IsDigit)});
            end = number.Groups.last().To;
            if (DigitCount(number, int(number.Groups.size())) > MostDigits + 4) break;
        }
        if (!end) continue;
        // The longest run of groups that can be a number; a following
        // group may belong to what comes next ("030 1234567 10115 Berlin").
        for (int take = int(number.Groups.size()); take > 0; --take) {
            const int to = number.Groups[take - 1].To;
            const int digits = DigitCount(number, take);
            if (digits < FewestDigits || digits > MostDigits || !EndsToken(t, to) || GoesOnAsNumber(t, to) ||
                ReadsAsDate(t, number, take))
                continue;
            found.append({i, to});
            i = to;
            break;
        }
    }
    return found;
}

} // namespace mx
