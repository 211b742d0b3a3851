#pragma once
// The marks of the calibration page that a scan of the page is measured by.
//
// Each mark is three nested squares: a ring 8 mm across and 1.2 mm wide,
// and a solid square 2.4 mm across in its middle. Why these and not
// AprilTags or ringed crosses:
// - They are filled rectangles only, so every printer resolution draws them
//   exactly and symmetric about the mark's device position, with no curve
//   that drivers rasterise differently.
// - Their twelve straight edges give some hundreds of edge points per mark
//   at 300 dpi; a line through each edge and the squares' corners give the
//   centre to a small fraction of a pixel. Ink spread and scanner blur move
//   opposite edges apart alike, so the centre stays where it is.
// - The nested squares correlate strongly with nothing but themselves, so
//   text beside a mark does not draw the search away.
// - A tag's identity is not needed (the layout says which mark lies where,
//   far closer than the marks lie to each other), and a tag's pose comes
//   from its four outer corners: less precise than fits along long edges,
//   and a library and a module more.
// What a tag would give, the side and the way up, comes from two of eight
// small code squares around every mark: front and back carry different
// pairs, and no turn or mirror image of either pair equals any other
// reading, so a sheet on its head, a mirrored scan and the other side's page
// are told apart, each mark voting.
#include "calibration/calibration_page.h"
#include "platform/canvas.h"

#include <QPoint>
#include <QPointF>
#include <array>

namespace mx {

struct PrinterGeometry;

// The shape in millimetres from a mark's centre (half widths).
inline constexpr double MarkOuterHalfMm = 4.0;
inline constexpr double MarkRingInnerHalfMm = 2.8;
inline constexpr double MarkCoreHalfMm = 1.2;
inline constexpr double MarkCodeDistanceMm = 6.5; // centre of a code square, per axis
inline constexpr double MarkCodeHalfMm = 0.75;
// Everything of a mark lies within this distance of its centre, per axis.
inline constexpr double MarkExtentMm = MarkCodeDistanceMm + MarkCodeHalfMm;

// The eight places of the code squares, clockwise from above the mark.
enum TCodeSlot { csN, csNE, csE, csSE, csS, csSW, csW, csNW, CodeSlotCount };
// The code squares of a side's marks: bit i for slot i.
unsigned MarkCode(bool back);
// A slot's centre relative to the mark's centre, millimetres, y downwards.
QPointF CodeSlotOffsetMm(int slot);

// Device pixels from the printed side's left and top edges, and the same in
// millimetres as measured on that side.
using TCalibrationMark = TCalibrationCross;

// Four marks near the corners of the printable region and one near the
// middle of the sheet, on the calibration page's grid: top left, top
// right, bottom left, bottom right, middle. The first and the fourth lie
// exactly where CalibrationCrosses puts the manual way's two crosses, so
// one page can serve both ways. On the back the same arrangement mirrored,
// the back's top left mark at its top right, with their millimetres as
// measured on the back itself. Raises EPrinter when the paper is too small
// for them.
std::array<TCalibrationMark, 5> CalibrationMarks(const PrinterGeometry& g, bool back);

// The part of the page a mark and its label take, in the page's device
// pixels (printable-area coordinates): other drawing keeps out of it.
TRect CalibrationMarkBounds(const TCalibrationMark& mark, const PrinterGeometry& g);

// Draws the side's marks with their nominal millimetres beside them (and
// the manual way's two with their names, "Marke 1" and "Marke 2"), in
// black, on a canvas whose origin is the printable area's top-left corner
// (the page's device pixels). Nothing is corrected: the page measures the
// printer itself.
void DrawCalibrationMarks(TCanvas& canvas, const PrinterGeometry& g, bool back);

} // namespace mx
