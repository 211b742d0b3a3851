#include "calibration/calibration_text.h"

#include <QLocale>
#include <cmath>

namespace mx {

namespace {

const QChar MinusSign(0x2212);

// "100,2 %" of a scale.
QString PercentText(double scale) { return DecimalText(scale * 100, 1) + " %"; }

bool ScaleShows(const TAxisCorrection& axis) { return PercentText(axis.Scale) != PercentText(1); }

} // namespace

QString DecimalText(double value, int decimals) {
    // No "-0,0" for a value that rounds to zero.
    const double rounded = std::round(value * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    return QLocale().toString(rounded == 0 ? 0.0 : value, 'f', decimals);
}

QString DecimalTextBeyond(double value, double limit) {
    int decimals = 1;
    while (decimals < 6) {
        const double factor = std::pow(10.0, decimals);
        if (std::abs(std::round(value * factor) / factor) > limit) break;
        ++decimals;
    }
    return DecimalText(value, decimals);
}

QString SignedMmText(double mm) {
    const QString digits = DecimalText(std::abs(mm), 1);
    if (digits == DecimalText(0, 1)) return digits;
    return (mm > 0 ? QChar('+') : MinusSign) + digits;
}

QString DescribeSide(const std::optional<TSideCorrection>& side, bool scaleFigures) {
    if (!side) return "keine";
    QString text = SignedMmText(side->X.OffsetMm) + " / " + SignedMmText(side->Y.OffsetMm) + " mm";
    if (ScaleShows(side->X) || ScaleShows(side->Y)) {
        text += ", Maßstab";
        if (scaleFigures) text += ' ' + DecimalText(side->X.Scale * 100, 1) + " / " + PercentText(side->Y.Scale);
    }
    return text;
}

QString DescribeCalibration(const TPrinterCalibration& calibration) {
    if (!calibration.Front && !calibration.Back) return "Keine Kalibrierung";
    return "Kalibrierung: vorn " + DescribeSide(calibration.Front, false) + ", hinten " +
           DescribeSide(calibration.Back, false);
}

} // namespace mx
