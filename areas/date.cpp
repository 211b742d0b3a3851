// Calendar dates as German documents write them: 12.03.2024, 1.3.24,
// 2024-03-12, 12. März 2024 (also "12. Mär. 2024") and März 2024. Only
// days the calendar has; four-digit years from 1900 to 2099, two-digit
// ones read as 1950 to 2049.
#include "areas/recognisers.h"
#include "areas/text_shapes.h"

#include <array>
#include <optional>

namespace mx {

using namespace shapes;

namespace {

constexpr int FirstYear = 1900, LastYear = 2099;

struct TMonthName {
    const char16_t* Name;
    int Month;
    bool Abbreviated;
};

constexpr std::array<TMonthName, 27> MonthNames{{
    {u"januar", 1, false},    {u"jänner", 1, false},    {u"februar", 2, false},   {u"märz", 3, false},
    {u"maerz", 3, false},     {u"april", 4, false},     {u"mai", 5, false},       {u"juni", 6, false},
    {u"juli", 7, false},      {u"august", 8, false},    {u"september", 9, false}, {u"oktober", 10, false},
    {u"november", 11, false}, {u"dezember", 12, false}, {u"jan", 1, true},        {u"feb", 2, true},
    {u"mär", 3, true},        {u"mrz", 3, true},        {u"apr", 4, true},        {u"jun", 6, true},
    {u"jul", 7, true},        {u"aug", 8, true},        {u"sep", 9, true},        {u"sept", 9, true},
    {u"okt", 10, true},       {u"nov", 11, true},       {u"dez", 12, true},
}};

std::optional<TMonthName> MonthOf(QStringView word) {
    for (const TMonthName& name : MonthNames)
        if (word.compare(QStringView(name.Name), Qt::CaseInsensitive) == 0) return name;
    return std::nullopt;
}

// A number of one to maxDigits digits at i (ending at a non-digit); its
// end goes to end.
std::optional<int> NumberAt(const QString& t, int i, int minDigits, int maxDigits, int& end) {
    end = RunEnd(t, i, IsDigit);
    if (end - i < minDigits || end - i > maxDigits) return std::nullopt;
    return QStringView(t).mid(i, end - i).toInt();
}

// A year of two or four digits at i; nothing outside the years read.
std::optional<int> YearAt(const QString& t, int i, bool twoDigits, int& end) {
    const std::optional<int> year = NumberAt(t, i, twoDigits ? 2 : 4, 4, end);
    if (!year || end - i == 3) return std::nullopt;
    if (end - i == 2) return *year < 50 ? 2000 + *year : 1900 + *year;
    return *year >= FirstYear && *year <= LastYear ? year : std::nullopt;
}

bool IsBreak(QChar c) { return IsWordBreak(c) || IsLineBreak(c); }

// Nothing that makes the date part of a longer number or word follows.
bool EndsDate(const QString& t, int end) { return EndsToken(t, end) && !GoesOnAsNumber(t, end); }

// "12.03.2024", "1.3.24", "12. März 2024", "12. Mär. 2024"; the end of
// the date, or nothing.
std::optional<int> DayFirstAt(const QString& t, int i) {
    int end = 0;
    const std::optional<int> day = NumberAt(t, i, 1, 2, end);
    if (!day || At(t, end) != u'.') return std::nullopt;
    int p = end + 1;
    if (IsDigit(At(t, p))) {
        const std::optional<int> month = NumberAt(t, p, 1, 2, end);
        if (!month || At(t, end) != u'.') return std::nullopt;
        const std::optional<int> year = YearAt(t, end + 1, true, end);
        if (!year || !EndsDate(t, end) || !IsCalendarDate(*year, *month, *day)) return std::nullopt;
        return end;
    }
    if (IsBreak(At(t, p))) ++p;
    const int wordEnd = RunEnd(t, p, [](QChar c) { return c.isLetter(); });
    const std::optional<TMonthName> month = MonthOf(QStringView(t).mid(p, wordEnd - p));
    if (!month) return std::nullopt;
    p = wordEnd;
    if (month->Abbreviated && At(t, p) == u'.') ++p;
    if (!IsBreak(At(t, p))) return std::nullopt;
    const std::optional<int> year = YearAt(t, p + 1, false, end);
    if (!year || !EndsDate(t, end) || !IsCalendarDate(*year, month->Month, *day)) return std::nullopt;
    return end;
}

// "2024-03-12"
std::optional<int> YearFirstAt(const QString& t, int i) {
    int end = 0;
    const std::optional<int> year = YearAt(t, i, false, end);
    if (!year || At(t, end) != u'-') return std::nullopt;
    const std::optional<int> month = NumberAt(t, end + 1, 2, 2, end);
    if (!month || At(t, end) != u'-') return std::nullopt;
    const std::optional<int> day = NumberAt(t, end + 1, 2, 2, end);
    if (!day || !EndsDate(t, end) || (At(t, end) == u'-' && IsDigit(At(t, end + 1))) ||
        !IsCalendarDate(*year, *month, *day))
        return std::nullopt;
    return end;
}

// "März 2024": a month's full name and a year.
std::optional<int> MonthFirstAt(const QString& t, int i) {
    const int wordEnd = RunEnd(t, i, [](QChar c) { return c.isLetter(); });
    const std::optional<TMonthName> month = MonthOf(QStringView(t).mid(i, wordEnd - i));
    if (!month || month->Abbreviated || !IsBreak(At(t, wordEnd))) return std::nullopt;
    int end = 0;
    const std::optional<int> year = YearAt(t, wordEnd + 1, false, end);
    if (!year || !EndsDate(t, end)) return std::nullopt;
    return end;
}

} // namespace

bool IsCalendarDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1) return false;
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= days[size_t(month - 1)] + (month == 2 && leap ? 1 : 0);
}

QList<TSpan> FindDates(const QString& t) {
    QList<TSpan> found;
    for (int i = 0; i < t.size(); ++i) {
        if (!StartsToken(t, i)) continue;
        std::optional<int> end;
        if (IsDigit(t[i])) {
            // Not the tail of a dotted or dashed number ("1.12.03.2024",
            // "1-2024-03-12"); a dash may join two dates as a range.
            const QChar before = At(t, i - 1);
            const bool afterNumber = IsDigit(At(t, i - 2));
            if ((before == u'.' || before == u'/') && afterNumber) continue;
            end = DayFirstAt(t, i);
            if (!end && !(before == u'-' && afterNumber)) end = YearFirstAt(t, i);
        } else if (t[i].isLetter()) {
            end = MonthFirstAt(t, i);
        }
        if (!end) continue;
        found.append({i, *end});
        i = *end;
    }
    return found;
}

} // namespace mx
