#include "calibration/axis_fit.h"

#include "calibration/calibration_text.h"
#include "platform/exception.h"

#include <cmath>

namespace mx {

namespace {

QString AxisName(TAxis axis) { return axis == TAxis::Horizontal ? "in der Breite" : "in der Höhe"; }

} // namespace

TAxisCorrection FitAxis(TAxis axis, double nominal1, double measured1, double nominal2, double measured2) {
    const QString again = " – bitte messen Sie noch einmal nach.";
    if (!std::isfinite(measured1) || !std::isfinite(measured2) || nominal1 == nominal2)
        throw Exception("Aus den gemessenen Werten lässt sich keine Kalibrierung berechnen" + again);
    const double scale = (measured2 - measured1) / (nominal2 - nominal1);
    if (scale <= 0)
        throw Exception("Die gemessenen Werte " + AxisName(axis) +
                        " liegen in der falschen Reihenfolge. Haben Sie Kreuz 1 und Kreuz 2 vertauscht?");
    if (!ScaleWithinLimit(scale))
        throw Exception("Die gemessenen Werte ergeben eine Verzerrung von " +
                        DecimalTextBeyond(std::abs(scale - 1) * 100, MaxScaleDeviation * 100) + " % " + AxisName(axis) +
                        ". Mehr als " + DecimalText(MaxScaleDeviation * 100, 0) + " % kann nicht ausgeglichen werden" +
                        again);
    const TAxisCorrection fitted{measured1 - scale * nominal1, scale};
    if (!OffsetWithinLimit(fitted.OffsetMm))
        throw Exception("Die gemessenen Werte ergeben eine Verschiebung von " +
                        DecimalTextBeyond(std::abs(fitted.OffsetMm), MaxOffsetMm) + " mm " + AxisName(axis) +
                        ". Mehr als " + DecimalText(MaxOffsetMm, 0) + " mm kann nicht ausgeglichen werden" + again);
    return fitted;
}

} // namespace mx
