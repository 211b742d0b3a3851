#pragma once
// Calibration from a scan of the printed calibration page: the sheet's own
// edges and the five marks give, per axis, the printer's offset and scale
// relative to the paper, as the manual calibration's two crosses do, but
// measured by the program. The paper's known size gives the scan's own
// scale, so the scanner's scale error drops out and where the sheet lay
// on the glass does not matter.
//
// The back is measured as the manual way measures it: from the printed
// side's own left and top edges, the side upright.
//
// Pure computation on an image: call it from a worker thread; it holds
// no state.
#include "calibration/calibration_marks.h"
#include "print/correction.h"

#include <QPolygonF>
#include <QStringList>
#include <vector>

class QImage;

namespace mx {

struct TMarkMeasurement {
    TCalibrationMark Nominal;
    bool Found = false;
    QPointF MeasuredMm;   // on the printed side, from its left and top edges
    QPointF ResidualMm;   // measured less what the fitted printer gives
    QPointF ScanPosition; // where it is in the scan, for drawing over it
};

struct TScanCalibration {
    bool Back = false;
    // What the store takes; within the limits of IsUsable.
    TSideCorrection Correction;
    // The print against the paper, degrees, clockwise positive: a
    // correction cannot undo it; shown, and warned about above 0.3.
    double RotationDeg = 0;
    // The sheet on the glass, degrees, for information.
    double SheetRotationDeg = 0;
    // How far the result can be trusted from this scan (about 95 %): the
    // offsets in millimetres, the scales as a fraction.
    double OffsetUncertaintyMm = 0;
    double ScaleUncertainty = 0;
    // The scanner's own scale, measured against the paper and taken out.
    double ScanScaleX = 1, ScanScaleY = 1;
    std::vector<TMarkMeasurement> Marks;
    QPolygonF SheetOutline; // scan positions of the sheet's corners
    // German sentences for the result: a turned print, a mark left out.
    QStringList Warnings;
};

// Above this the result warns that the print is turned on the paper.
inline constexpr double RotationWarningDeg = 0.3;

// `dpi` is the scan's stated resolution; `g` the printer's geometry that
// the page was printed with. Raises EScanReading with a German message
// for a scan that gives no trustworthy result: no sheet, no marks, the
// sheet on its head or mirrored, the other side's page, marks that do not
// fit together, a correction beyond what the printer can take.
TScanCalibration CalibrateFromScan(const QImage& scan, double dpi, const PrinterGeometry& g, bool back);

// The result in German lines for the dialog, warnings last.
QString DescribeScanCalibration(const TScanCalibration& result);

} // namespace mx
