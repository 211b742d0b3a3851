// The German tax identification number (Steuerliche Identifikationsnummer).
#include "areas/recognisers.h"
#include "areas/text_shapes.h"

#include <array>

namespace mx {

using namespace shapes;

namespace {

constexpr int TaxIdDigits = 11;

} // namespace

// The rules the Bundeszentralamt für Steuern gives for the number:
// - eleven digits, the first not 0;
// - among the first ten, exactly one digit occurs more than once, and that
//   one two or three times (so one or two of the ten digits are missing);
//   a digit occurring three times never stands three times in a row
//   (numbers given out before 2016 have only the twice-occurring digit);
// - the eleventh is the check digit of the first ten by ISO/IEC 7064,
//   MOD 11,10.
bool TaxIdValid(QStringView digits) {
    if (digits.size() != TaxIdDigits || digits[0] == u'0') return false;
    std::array<int, 10> count{};
    for (const QChar c : digits)
        if (!IsDigit(c)) return false;
    for (int i = 0; i < 10; ++i) ++count[size_t(DigitValue(digits[i]))];
    int repeated = 0;
    for (const int n : count) {
        if (n > 3) return false;
        if (n > 1) ++repeated;
    }
    if (repeated != 1) return false;
    for (int i = 2; i < 10; ++i)
        if (digits[i] == digits[i - 1] && digits[i] == digits[i - 2]) return false;

    int product = 10;
    for (int i = 0; i < 10; ++i) {
        int sum = (DigitValue(digits[i]) + product) % 10;
        if (sum == 0) sum = 10;
        product = sum * 2 % 11;
    }
    const int check = (11 - product) % 10;
    return DigitValue(digits[10]) == check;
}

QList<TSpan> FindTaxIds(const QString& t) {
    QList<TSpan> found;
    for (int i = 0; i < t.size(); ++i) {
        if (!IsDigit(t[i]) || t[i] == u'0' || !StartsToken(t, i) || FollowsDigitGroup(t, i, IsWordBreak)) continue;
        const QList<TGroup> groups = ReadGroups(t, i, IsDigit, IsWordBreak, 5);
        // "12345678901" or "12 345 678 901", and no further digits after.
        int take = 0;
        if (groups[0].Size() == TaxIdDigits)
            take = 1;
        else if (groups.size() >= 4 && groups[0].Size() == 2 && groups[1].Size() == 3 && groups[2].Size() == 3 &&
                 groups[3].Size() == 3)
            take = 4;
        if (take == 0 || take < groups.size() || GoesOnAsNumber(t, groups[take - 1].To) ||
            !EndsToken(t, groups[take - 1].To) || !TaxIdValid(Joined(t, groups, take)))
            continue;
        found.append({i, groups[take - 1].To});
        i = groups[take - 1].To;
    }
    return found;
}

} // namespace mx
