#pragma once
// The texts the calibration shows: numbers in the user's locale and the
// short description of the correction in force.
#include "print/correction.h"

#include <QString>

namespace mx {

// A number with the locale's decimal separator.
QString DecimalText(double value, int decimals);
// Enough decimals (one at least) that a value beyond limit does not read
// as the limit itself.
QString DecimalTextBeyond(double value, double limit);
// "+1,0", "−0,5" (a real minus sign), "0,0".
QString SignedMmText(double mm);

// "+1,0 / −0,5 mm", with ", Maßstab 100,2 / 99,8 %" when a scale shows
// (without the figures for a short line); "keine" for nothing.
QString DescribeSide(const std::optional<TSideCorrection>& side, bool scaleFigures = true);
// One line for the main window, short enough for some 400 pixels:
// "Keine Kalibrierung", or "Kalibrierung: vorn +1,0 / −0,5 mm, Maßstab,
// hinten keine"; the dialog shows the scales' figures.
QString DescribeCalibration(const TPrinterCalibration& calibration);

} // namespace mx
