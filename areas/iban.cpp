// IBANs: two letters of the country, two check digits, the account in the
// country's own form; printed in one word or in groups of four.
#include "areas/recognisers.h"
#include "areas/text_shapes.h"

#include <array>

namespace mx {

using namespace shapes;

namespace {

struct TCountryLength {
    char Code[3];
    int Length;
};

// The lengths of the IBAN registry.
constexpr std::array<TCountryLength, 89> CountryLengths{{
    {"AD", 24}, {"AE", 23}, {"AL", 28}, {"AT", 20}, {"AZ", 28}, {"BA", 20}, {"BE", 16}, {"BG", 22}, {"BH", 22},
    {"BI", 27}, {"BR", 29}, {"BY", 28}, {"CH", 21}, {"CR", 22}, {"CY", 28}, {"CZ", 24}, {"DE", 22}, {"DJ", 27},
    {"DK", 18}, {"DO", 28}, {"EE", 20}, {"EG", 29}, {"ES", 24}, {"FI", 18}, {"FK", 18}, {"FO", 18}, {"FR", 27},
    {"GB", 22}, {"GE", 22}, {"GI", 23}, {"GL", 18}, {"GR", 27}, {"GT", 28}, {"HN", 28}, {"HR", 21}, {"HU", 28},
    {"IE", 22}, {"IL", 23}, {"IQ", 23}, {"IS", 26}, {"IT", 27}, {"JO", 30}, {"KW", 30}, {"KZ", 20}, {"LB", 28},
    {"LC", 32}, {"LI", 21}, {"LT", 20}, {"LU", 20}, {"LV", 21}, {"LY", 25}, {"MC", 27}, {"MD", 24}, {"ME", 22},
    {"MK", 19}, {"MN", 20}, {"MR", 27}, {"MT", 31}, {"MU", 30}, {"NI", 28}, {"NL", 18}, {"NO", 15}, {"OM", 23},
    {"PK", 24}, {"PL", 28}, {"PS", 29}, {"PT", 25}, {"QA", 29}, {"RO", 24}, {"RS", 22}, {"RU", 33}, {"SA", 24},
    {"SC", 31}, {"SD", 18}, {"SE", 24}, {"SI", 19}, {"SK", 24}, {"SM", 27}, {"SO", 23}, {"ST", 25}, {"SV", 28},
    {"TL", 23}, {"TN", 24}, {"TR", 26}, {"UA", 29}, {"VA", 22}, {"VG", 24}, {"XK", 20}, {"YE", 30},
}};

constexpr int ShortestIban = 15, LongestIban = 34;

bool LengthFits(int length, int countryLength) {
    return countryLength ? length == countryLength : length >= ShortestIban && length <= LongestIban;
}

// Letters count 10 (A) to 35 (Z).
int CharValue(QChar c) {
    if (IsDigit(c)) return DigitValue(c);
    return c.toUpper().unicode() - u'A' + 10;
}

} // namespace

int IbanLength(QStringView country) {
    for (const TCountryLength& entry : CountryLengths)
        if (country == QLatin1String(entry.Code, 2)) return entry.Length;
    return 0;
}

bool IbanCheckDigitsValid(QStringView iban) {
    if (iban.size() < 5) return false;
    for (const QChar c : iban)
        if (!IsAsciiAlnum(c)) return false;
    if (!IsAsciiLetter(iban[0]) || !IsAsciiLetter(iban[1]) || !IsDigit(iban[2]) || !IsDigit(iban[3])) return false;
    // 00, 01 and 99 are never given: 01 would pass where 98 is meant.
    const int check = DigitValue(iban[2]) * 10 + DigitValue(iban[3]);
    if (check < 2 || check > 98) return false;
    // The account first, then country and check digits; letters as two
    // digits. The remainder is carried along, so no big number is needed.
    int remainder = 0;
    for (qsizetype i = 0; i < iban.size(); ++i) {
        const int value = CharValue(iban[(i + 4) % iban.size()]);
        remainder = (value < 10 ? remainder * 10 + value : remainder * 100 + value) % 97;
    }
    return remainder == 1;
}

QList<TSpan> FindIbans(const QString& t) {
    QList<TSpan> found;
    const auto groupBreak = [](QChar c) { return IsWordBreak(c) || IsLineBreak(c); };
    for (int i = 0; i + 4 <= t.size(); ++i) {
        if (!IsAsciiLetter(t[i]) || !IsAsciiLetter(t[i + 1]) || !IsDigit(t[i + 2]) || !IsDigit(t[i + 3]) ||
            !StartsToken(t, i))
            continue;
        const int countryLength = IbanLength(QString(t.mid(i, 2)).toUpper());
        const QList<TGroup> groups = ReadGroups(t, i, IsAsciiAlnum, groupBreak, LongestIban / 4 + 1);
        // One word, or groups of four with a shorter last one. Without a
        // known length, the longest that checks.
        int take = 0;
        if (LengthFits(groups[0].Size(), countryLength)) {
            if (IbanCheckDigitsValid(QStringView(t).mid(i, groups[0].Size()))) take = 1;
        } else if (groups[0].Size() == 4) {
            int length = 4;
            for (int g = 1; g < groups.size() && groups[g - 1].Size() == 4 && length < LongestIban; ++g) {
                length += groups[g].Size();
                if (groups[g].Size() <= 4 && LengthFits(length, countryLength) &&
                    IbanCheckDigitsValid(Joined(t, groups, g + 1)))
                    take = g + 1;
            }
        }
        if (take == 0) continue;
        found.append({i, groups[take - 1].To});
        i = groups[take - 1].To;
    }
    return found;
}

} // namespace mx
