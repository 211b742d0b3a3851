// The centimetre rulers above and left of the preview.
#include "app/main_form.h"
#include "geometry/sheet_math.h"
#include "platform/paintbox.h"
#include "ui_main_form.h"

namespace mx {

namespace {
constexpr TColor RulerBand = 0x0099A8AC;
}

// The box's buffer is the off-screen picture: it is shown in one piece.
void TMainForm::DrawRuler(TPaintBox& box, bool horizontal) {
    TCanvas& c = box.Canvas();
    const int width = box.width(), height = box.height();
    c.Font = box.font();
    c.FontColor = clWindowText;
    c.Pen.Style = psSolid;
    c.Pen.Color = clBtnFace;
    c.SetBrushColor(clBtnFace);
    c.SetBrushStyle(bsSolid);
    c.Rectangle(0, 0, width, height);
    c.Pen.Color = RulerBand;
    c.SetBrushColor(RulerBand);
    if (horizontal)
        c.Rectangle(0, 6, width, height - 6);
    else
        c.Rectangle(6, 0, width - 6, height);
    c.Pen.Color = clWhite;
    c.SetBrushColor(clWhite);
    if (horizontal)
        c.Rectangle(SheetLeftPx, 6, SheetRightPx, height - 6);
    else
        c.Rectangle(6, SheetTopPx, width - 6, SheetBottomPx);

    const auto marks = horizontal ? RulerMarks(SheetLeftPx, SheetRightPx, SheetWidthMm, width)
                                  : RulerMarks(SheetTopPx, SheetBottomPx, SheetHeightMm, height);
    c.Pen.Color = clBlack;
    for (const RulerMark& mark : marks) {
        const int v = mark.Position;
        switch (mark.kind) {
        case RulerMark::Half:
            if (horizontal) {
                c.MoveTo(v, 11);
                c.LineTo(v, height - 11);
            } else {
                c.MoveTo(11, v);
                c.LineTo(width - 11, v);
            }
            break;
        case RulerMark::Whole:
            if (horizontal) {
                c.MoveTo(v, 10);
                c.LineTo(v, height - 10);
            } else {
                c.MoveTo(10, v);
                c.LineTo(width - 10, v);
            }
            break;
        case RulerMark::Number: {
            const QString text = QString::number(mark.Centimetre);
            c.SetBkMode(TRANSPARENT);
            if (horizontal)
                c.TextOut(v - c.TextWidth(text) / 2, 6, text);
            else
                c.TextOut((width - c.TextWidth(text)) / 2, v - c.TextHeight(text) / 2, text);
            c.SetBkMode(OPAQUE);
            break;
        }
        }
    }
}

void TMainForm::PaintBox3Paint(QObject*) { DrawRuler(*ui->PaintBox3, true); }
void TMainForm::PaintBox4Paint(QObject*) { DrawRuler(*ui->PaintBox4, false); }

} // namespace mx
