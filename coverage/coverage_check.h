#pragma once
// Proving the fill landed: a scan of the printed sheet, registered to the
// sheet by the paper's own edges, and per area the share covered by the
// fill, the widest uncovered strip along each edge, and the words a
// recognition still finds inside. Fill printed beyond an area is not
// reported: next to the area lies the document's own text, which a dark
// fill cannot be told from.
//
// Pure computation on an image: call it from a worker thread; it holds no
// state.
#include "geometry/sheet_math.h"
#include "platform/canvas.h"
#include "platform/text_word.h"

#include <QPolygonF>
#include <QSizeF>
#include <QStringList>
#include <array>
#include <vector>

class QImage;

namespace mx {

// The job's fill as the jobs print it: the pattern in the foreground
// colour, its gaps in the background colour. Plain colours: resolve system
// colours (ColorToRGB) on the UI thread first.
struct TCoverageFill {
    TBrushStyle Style = bsSolid;
    TColor Foreground = clBlack;
    TColor Background = clWhite;
    int PrinterDpi = 600; // a hatch repeats every 8 of its pixels
};

struct TCoverageJob {
    QSizeF PaperMm;
    bool Back = false;       // the areas were printed on the back
    std::vector<Area> Areas; // as the jobs take them: the sheet's millimetres
    TCoverageFill Fill;
};

enum TAreaEdge { aeLeft, aeTop, aeRight, aeBottom };

struct TAreaCoverage {
    // The area on the printed side as it lies upright: mirrored for the back.
    Area OnSide;
    double CoveredShare = 0; // 0..1
    // Per edge (TAreaEdge): the widest strip inside the edge that the fill
    // left uncovered, millimetres.
    std::array<double, 4> UncoveredMm{};
    QStringList ReadableWords; // recognised words whose middle lies inside
    QPolygonF ScanOutline;     // the area's corners in the scan, for drawing
};

struct TCoverageReport {
    std::vector<TAreaCoverage> Areas;
    // The sheet lay on its head on the glass and was read turned.
    bool Turned = false;
    QPolygonF SheetOutline; // the sheet's corners in the scan
};

// Strips narrower than this are not worth naming.
inline constexpr double LeastStripMm = 0.2;

// `dpi` is the scan's stated resolution; `words` what a recognition of the
// scan found, boxes in scan pixels. Raises EScanReading with a German
// message when the sheet cannot be found, the scan is mirrored, or the
// fill does not differ from the paper enough to be seen.
TCoverageReport CheckCoverage(const QImage& scan, double dpi, const TCoverageJob& job, const TTextWords& words = {});

// 99 % of the area covered at least and no strip worth naming: what the
// dialog shows as done.
bool FullyCovered(const TAreaCoverage& area);

// German lines for the dialog, one or two per area: "Bereich 1: 96,3 %
// bedeckt – links 0,8 mm nicht bedeckt", "Text noch lesbar: „Konto“".
QStringList DescribeCoverage(const TCoverageReport& report);

} // namespace mx
