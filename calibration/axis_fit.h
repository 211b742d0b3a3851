#pragma once
// A correction worked out from two marks measured along one axis.
#include "print/correction.h"

namespace mx {

enum class TAxis { Horizontal, Vertical };

// The deviation along one axis from two crosses: their nominal and their
// measured millimetres. Raises Exception with a German message when the
// result is beyond what a correction takes on.
TAxisCorrection FitAxis(TAxis axis, double nominal1, double measured1, double nominal2, double measured2);

} // namespace mx
