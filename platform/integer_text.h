#pragma once
// The core that every reading of a 32-bit integer shares: the digits of
// one base after the sign and prefix have been taken off. Their blank,
// sign and prefix rules belong to the callers (profile files, the numeric
// field).
#include <QStringView>
#include <optional>

namespace mx {

// The value of digits (ASCII, base 10 or 16; no sign, no blank), negated
// when negative. Decimal takes -2147483648 to 2147483647; hexadecimal all
// 32 bits as the bit pattern (FFFFFFFF is -1). Nothing for no digits, a
// stray character or a value beyond that range.
std::optional<int> IntegerFromDigits(QStringView digits, int base, bool negative);

} // namespace mx
