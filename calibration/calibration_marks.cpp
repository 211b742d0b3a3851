#include "calibration/calibration_marks.h"

#include "calibration/calibration_text.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/fonts.h"
#include "print/overprint_rect.h"

#include <cmath>

namespace mx {

namespace {

// Less between the marks and a scale error weighs too little against the
// measuring error.
constexpr double LeastSpanMm = 60;
constexpr double LabelHeightMm = 2.5;
// The label beside a mark: its gap and, generously, its size. Its lines
// run from two above the mark's middle (the name the manual way goes by,
// "Marke 1") to one below it.
constexpr double LabelGapMm = MarkExtentMm + 1.5;
constexpr double LabelWidthMm = 26, LabelLinesMm = 3 * LabelHeightMm;

bool LabelToTheRight(const TCalibrationMark& mark, const PrinterGeometry& g) {
    return mark.Paper.x() <= g.PaperWidth / 2;
}

// The name the manual way gives a mark: 1 and 2 for the first and the
// fourth, where CalibrationCrosses lie; 0 for the others.
int ManualMarkNumber(int index) { return index == 0 ? 1 : index == 3 ? 2 : 0; }

} // namespace

unsigned MarkCode(bool back) { return back ? (1u << csE | 1u << csSE) : (1u << csN | 1u << csNE); }

QPointF CodeSlotOffsetMm(int slot) {
    static constexpr int dx[CodeSlotCount] = {0, 1, 1, 1, 0, -1, -1, -1};
    static constexpr int dy[CodeSlotCount] = {-1, -1, 0, 1, 1, 1, 0, -1};
    return QPointF(dx[slot], dy[slot]) * MarkCodeDistanceMm;
}

std::array<TCalibrationMark, 5> CalibrationMarks(const PrinterGeometry& g, bool back) {
    const TCalibrationGrid grid = CalibrationGrid(g);
    if (grid.WidthMm() < LeastSpanMm || grid.HeightMm() < LeastSpanMm)
        throw EPrinter("Das Papier ist zu klein für die Kalibrierseite");
    const int middleX = int(std::lround(DeviceToMm(g.PaperWidth, g.Dpi) / 2 / grid.UnitMm));
    const int middleY = int(std::lround(DeviceToMm(g.PaperHeight, g.Dpi) / 2 / grid.UnitMm));
    const int left = back ? grid.Right : grid.Left, right = back ? grid.Left : grid.Right;
    return {grid.At(left, grid.Top), grid.At(right, grid.Top), grid.At(left, grid.Bottom), grid.At(right, grid.Bottom),
            grid.At(middleX, middleY)};
}

TRect CalibrationMarkBounds(const TCalibrationMark& mark, const PrinterGeometry& g) {
    const auto px = [&](double mm) { return MmToDevice(mm, g.Dpi); };
    const int x = mark.Paper.x() - g.OffsetX, y = mark.Paper.y() - g.OffsetY;
    const int extent = px(MarkExtentMm) + 1, label = px(LabelGapMm + LabelWidthMm);
    const int right = LabelToTheRight(mark, g) ? label : extent, left = LabelToTheRight(mark, g) ? extent : label;
    const int height = std::max(extent, px(LabelLinesMm));
    return {x - left, y - height, x + right, y + height};
}

void DrawCalibrationMarks(TCanvas& canvas, const PrinterGeometry& g, bool back) {
    const auto px = [&](double mm) { return std::max(1, MmToDevice(mm, g.Dpi)); };
    const int outer = px(MarkOuterHalfMm), inner = px(MarkRingInnerHalfMm), core = px(MarkCoreHalfMm);
    const int cell = px(MarkCodeHalfMm), distance = px(MarkCodeDistanceMm), gap = px(LabelGapMm);
    const unsigned code = MarkCode(back);
    const std::array<TCalibrationMark, 5> marks = CalibrationMarks(g, back);
    const auto fill = [&](int l, int t, int r, int b) { canvas.FillRect({l, t, r, b}); };
    for (size_t index = 0; index < marks.size(); ++index) {
        const TCalibrationMark& mark = marks[index];
        // Every square is symmetric about the mark's device position.
        const int x = mark.Paper.x() - g.OffsetX, y = mark.Paper.y() - g.OffsetY;
        canvas.SetBrushStyle(bsSolid);
        canvas.SetBrushColor(clBlack);
        fill(x - outer, y - outer, x + outer, y - inner);
        fill(x - outer, y + inner, x + outer, y + outer);
        fill(x - outer, y - inner, x - inner, y + inner);
        fill(x + inner, y - inner, x + outer, y + inner);
        fill(x - core, y - core, x + core, y + core);
        for (int slot = 0; slot < CodeSlotCount; ++slot) {
            if (!(code >> slot & 1)) continue;
            const QPointF offset = CodeSlotOffsetMm(slot) / MarkCodeDistanceMm * distance;
            const int cx = x + int(offset.x()), cy = y + int(offset.y());
            fill(cx - cell, cy - cell, cx + cell, cy + cell);
        }

        // The label towards the middle of the page, level with the mark.
        canvas.Font = WindowsFont("Arial", px(LabelHeightMm));
        canvas.FontColor = clBlack;
        canvas.SetBkMode(TRANSPARENT);
        const QString lines[2] = {"links " + DecimalText(mark.XMm, 1) + " mm",
                                  "oben " + DecimalText(mark.YMm, 1) + " mm"};
        const bool leftHalf = LabelToTheRight(mark, g);
        const int lineHeight = canvas.TextHeight(lines[0]);
        const auto line = [&](int i, const QString& text) {
            const int width = canvas.TextWidth(text);
            canvas.TextOut(leftHalf ? x + gap : x - gap - width, y - lineHeight + i * lineHeight, text);
        };
        for (int i = 0; i < 2; ++i) line(i, lines[i]);
        // The two marks the manual way measures, by the names its fields have.
        if (const int number = ManualMarkNumber(int(index))) {
            canvas.Font = WindowsFont("Arial", px(LabelHeightMm), QFont::Bold);
            line(-1, QString("Marke %1").arg(number));
        }
    }
}

} // namespace mx
