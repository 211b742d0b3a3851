#pragma once
// Finding one calibration mark in a scan near where the layout puts it, and
// measuring its centre to a small fraction of a scan pixel. Positions are
// the sheet's millimetres as the frame reads them.
#include <QPointF>
#include <optional>

namespace mx {

class TGreyImage;
struct TSheetFrame;

struct TFoundMark {
    QPointF CentreMm;
    double CentreErrorMm = 0; // standard error, from the edge fits
    double Score = 0;         // correlation of the rough search, up to 1
    // The code squares seen around it, read in the frame: bit i for slot i.
    unsigned Code = 0;
};

// Searches `searchMm` around `nominalMm` in every direction. Nothing when
// no mark of the calibration page's shape lies there.
std::optional<TFoundMark> FindMark(const TGreyImage& scan, const TSheetFrame& frame, QPointF nominalMm,
                                   double searchMm);

} // namespace mx
