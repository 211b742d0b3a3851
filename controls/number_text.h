#pragma once
// How a numeric field reads and writes its text: parsing with a fallback,
// fixed-point formatting in the user's locale, the limits and the filter
// for typed characters. No widget involved.
#include <QtCore/qobjectdefs.h>

class QChar;
class QString;

namespace mx {

// A namespace of its own, so that the enums' meta-object belongs to this
// header alone.
namespace spin_kinds {
Q_NAMESPACE
enum TValueType { vtInteger, vtFloat, vtHex };
Q_ENUM_NS(TValueType)
enum TSpinButtonKind { bkStandard, bkDiagonal };
Q_ENUM_NS(TSpinButtonKind)
} // namespace spin_kinds

using spin_kinds::bkDiagonal;
using spin_kinds::bkStandard;
using spin_kinds::TSpinButtonKind;
using spin_kinds::TValueType;
using spin_kinds::vtFloat;
using spin_kinds::vtHex;
using spin_kinds::vtInteger;

// The user locale's decimal separator.
QString DecimalSeparator();

// The number the text stands for; on any failure (empty, stray characters,
// overflow) minValue, truncated toward zero for the integer types.
double ParseNumber(const QString& text, TValueType type, double minValue);

// The text for a value: vtFloat fixed-point with `decimals` digits (at most
// 15 significant ones, scientific beyond), the integer types rounded half
// to even, vtHex in upper-case digits without prefix.
QString FormatNumber(double value, TValueType type, int decimals);

// Equal limits mean "no limits".
double ClampValue(double x, double minValue, double maxValue);

// Whether a typed character may go into a field holding `text`.
bool AcceptsChar(QChar c, const QString& text, TValueType type, bool editorEnabled);

} // namespace mx
