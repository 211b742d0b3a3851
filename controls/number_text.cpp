#include "controls/number_text.h"

#include "platform/integer_text.h"

#include <QLocale>
#include <QString>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace mx {

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int HexDigit(QChar c) {
    if (IsDigit(c)) return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    return -1;
}

// A 32-bit signed integer: leading spaces, a sign, decimal digits or, after
// "$", "x", "X" or "0x", hexadecimal ones whose bit pattern may use all 32
// bits. Nothing may follow.
std::optional<std::int32_t> ParseInt32(const QString& s) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == u' ') ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    bool hex = false;
    if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && s[i + 1] == u'x') {
        hex = true;
        i += 2;
    }
    return IntegerFromDigits(QStringView(s).mid(i), hex ? 16 : 10, negative);
}

// A decimal number with the given separator, optional exponent, blanks
// around. Overflow fails; underflow gives zero.
std::optional<double> ParseFloat(const QString& s, const QString& separator) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == u' ') ++i;
    std::string ascii;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-') ascii += '-';
        ++i;
    }
    std::string intDigits, fracDigits;
    bool hasSeparator = false;
    for (; i < n; ++i) {
        if (IsDigit(s[i])) {
            (hasSeparator ? fracDigits : intDigits) += static_cast<char>(s[i].unicode());
        } else if (!hasSeparator && !separator.isEmpty() && QStringView(s).mid(i).startsWith(separator)) {
            hasSeparator = true;
            i += separator.size() - 1;
        } else {
            break;
        }
    }
    if (intDigits.empty() && fracDigits.empty() && !hasSeparator) return std::nullopt;
    long long exponent = 0;
    std::string expText;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (s[i] == u'+' || s[i] == u'-')) expNegative = s[i++] == u'-';
        const qsizetype first = i;
        for (; i < n && IsDigit(s[i]); ++i) {
            // Saturated: only the sign of the magnitude matters beyond this.
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[i].unicode() - u'0');
        }
        if (i == first) return std::nullopt;
        if (expNegative) exponent = -exponent;
        expText = "e" + std::to_string(exponent);
    }
    while (i < n && s[i] == u' ') ++i;
    if (i != n) return std::nullopt;

    ascii += intDigits.empty() ? "0" : intDigits;
    ascii += '.';
    ascii += fracDigits.empty() ? "0" : fracDigits;
    ascii += expText;
    double value = 0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc()) return value;
    if (ec != std::errc::result_out_of_range) return std::nullopt;
    // Out of range: decide between overflow and underflow by the decimal
    // magnitude of the first non-zero digit.
    const auto lead = intDigits.find_first_not_of('0');
    long long magnitude = 0;
    if (lead != std::string::npos) {
        magnitude = static_cast<long long>(intDigits.size() - lead) - 1 + exponent;
    } else {
        const auto fracLead = fracDigits.find_first_not_of('0');
        if (fracLead == std::string::npos) return 0.0;
        magnitude = -static_cast<long long>(fracLead) - 1 + exponent;
    }
    if (magnitude > 0) return std::nullopt;
    return ascii[0] == '-' ? -0.0 : 0.0;
}

QString NonFiniteText(double y) {
    if (std::isnan(y)) return QStringLiteral("NAN");
    return y < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// Adds one to a string of decimal digits.
void IncrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

QString FormatFloat(double y, int decimals) {
    if (!std::isfinite(y)) return NonFiniteText(y);
    constexpr int Precision = 15;
    const QString separator = DecimalSeparator();
    bool negative = std::signbit(y);
    // 15 significant digits, correctly rounded from the binary value.
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(y), std::chars_format::scientific, Precision - 1);
    const std::string sci(buf, res.ptr);
    std::string significant = sci.substr(0, 1) + sci.substr(2, Precision - 1);
    int exponent = 0;
    const char* expBegin = sci.data() + sci.find('e') + 1;
    if (*expBegin == '+') ++expBegin;
    std::from_chars(expBegin, sci.data() + sci.size(), exponent);
    // The largest doubles round up past the largest double, and such a text
    // would no longer read back: those are cut instead.
    if (exponent == std::numeric_limits<double>::max_exponent10) {
        constexpr const char* Largest = "179769313486231"; // DBL_MAX, cut to 15 digits
        if (significant > Largest) significant = Largest;
    }

    QString out = negative ? QStringLiteral("-") : QString();
    if (exponent >= Precision) {
        // More integer digits than the precision holds: scientific form.
        const auto last = significant.find_last_not_of('0');
        const std::string rest = significant.substr(1, last);
        out += QChar(significant[0]);
        if (!rest.empty()) out += separator + QString::fromLatin1(rest.data(), qsizetype(rest.size()));
        return out + QStringLiteral("E") + QString::number(exponent);
    }

    // The value scaled by 10^decimals as a digit string, rounded half up on
    // the significant digits.
    const int keep = exponent + 1 + decimals;
    std::string scaled;
    if (keep <= 0) {
        scaled = keep == 0 && significant[0] >= '5' ? "1" : "0";
    } else {
        scaled = significant.substr(0, std::min(keep, Precision));
        scaled.append(static_cast<std::size_t>(std::max(0, keep - Precision)), '0');
        if (keep < Precision && significant[keep] >= '5') IncrementDigits(scaled);
    }
    if (scaled.size() < static_cast<std::size_t>(decimals) + 1) scaled.insert(0, decimals + 1 - scaled.size(), '0');
    std::string intPart = scaled.substr(0, scaled.size() - decimals);
    const std::string fracPart = scaled.substr(scaled.size() - decimals);
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size() - 1));
    if (scaled.find_first_not_of('0') == std::string::npos) out.clear();
    out += QString::fromLatin1(intPart.data(), qsizetype(intPart.size()));
    if (decimals > 0) out += separator + QString::fromLatin1(fracPart.data(), qsizetype(fracPart.size()));
    return out;
}

QString FormatInteger(double y) {
    if (!std::isfinite(y)) return NonFiniteText(y);
    double r = std::nearbyint(y);
    if (r == 0) r = 0; // no "-0"
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, 0);
    return QString::fromLatin1(buf, res.ptr - buf);
}

QString FormatHex(double y) {
    if (!std::isfinite(y)) return NonFiniteText(y);
    const double r = std::nearbyint(y);
    constexpr double Int64Limit = 9223372036854775808.0; // 2^63
    std::uint64_t bits;
    if (r >= Int64Limit)
        bits = std::numeric_limits<std::int64_t>::max();
    else if (r < -Int64Limit)
        bits = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::min());
    else
        bits = static_cast<std::uint64_t>(static_cast<std::int64_t>(r));
    // Negative 32-bit values as their 32-bit pattern, so the text reads back.
    if (r < 0 && r >= -2147483648.0) bits &= 0xFFFFFFFFull;
    return QString::number(bits, 16).toUpper();
}

} // namespace

QString DecimalSeparator() { return QLocale().decimalPoint(); }

double ParseNumber(const QString& text, TValueType type, double minValue) {
    if (type == vtFloat) return ParseFloat(text, DecimalSeparator()).value_or(minValue);
    const auto parsed = ParseInt32(type == vtHex ? QStringLiteral("$") + text : text);
    return parsed ? double(*parsed) : std::trunc(minValue);
}

QString FormatNumber(double value, TValueType type, int decimals) {
    switch (type) {
    case vtFloat: return FormatFloat(value, decimals);
    case vtHex: return FormatHex(value);
    case vtInteger: break;
    }
    return FormatInteger(value);
}

double ClampValue(double x, double minValue, double maxValue) {
    if (maxValue == minValue) return x;
    if (x < minValue) return minValue;
    if (x > maxValue) return maxValue;
    return x;
}

bool AcceptsChar(QChar c, const QString& text, TValueType type, bool editorEnabled) {
    if (!editorEnabled) return c.unicode() < 32 && c != u'\b';
    if (c.unicode() < 32) return true;
    if (c == u'+' || c == u'-' || IsDigit(c)) return true;
    if (type == vtFloat) {
        const QString separator = DecimalSeparator();
        if (separator.size() == 1 && c == separator[0] && !text.contains(separator)) return true;
        if ((c == u'e' || c == u'E') && !text.toUpper().contains(u'E')) return true;
    }
    if (type == vtHex) return HexDigit(c) >= 0;
    return false;
}

} // namespace mx
