// The sheet preview: its layout and state step, and its pixels.
#include "app/main_form.h"
#include "areas/areas_panel.h"
#include "backdrop/backdrop.h"
#include "backdrop/backdrop_panel.h"
#include "geometry/sheet_math.h"
#include "platform/application.h"
#include "platform/exception.h"
#include "platform/printer.h"
#include "ui_main_form.h"

#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <cmath>
#include <tuple>

namespace mx {

int TMainForm::ScreenDpi() const { return ui->PaintBox1->logicalDpiX(); }

int TMainForm::Zoom() const { return TruncToInt(ui->ZoomEd->Value()); }

// Sizes and centres the preview, refreshes the sheet size, records the
// positions the rulers and the mouse work with and initialises the area
// once. Returns false when it stopped early (resized, or no printer).
bool TMainForm::PreviewStateStep() {
    const int s = ScreenDpi();
    // A negative zoom, possible while typing, draws like zoom 0.
    const int z = std::max(0, Zoom());
    mapping_.Zoom = z;
    mapping_.ScreenDpi = s;
    int p = 0, w = 0, h = 0;
    // The sheet is drawn once the print system has said what it is.
    if (!Printer()->Ready()) return false;
    try {
        TPrinter* printer = Printer();
        p = printer->GetDeviceCaps(LOGPIXELSX);
        w = printer->GetDeviceCaps(PHYSICALWIDTH);
        h = printer->GetDeviceCaps(PHYSICALHEIGHT);
    } catch (const EPrinter& e) {
        // Shown once per user action, and never from inside a paint.
        if (!printerErrorShown_) {
            printerErrorShown_ = true;
            const QString message = e.Message();
            QTimer::singleShot(0, this, [message] { Application()->ShowException(message); });
        }
        return false;
    }
    const int W = SheetScreenPixels(w, s, p, z);
    const int H = SheetScreenPixels(h, s, p, z);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const AxisLayout x = LayOutAxis(W, ui->ScrollBox1->width(), scrollBar);
    const AxisLayout y = LayOutAxis(H, ui->ScrollBox1->height(), scrollBar);
    OriginX = mapping_.OriginX = x.Origin;
    OriginY = mapping_.OriginY = y.Origin;
    if (ui->PaintBox1->width() != x.Length || ui->PaintBox1->height() != y.Length) {
        ui->PaintBox1->resize(std::max(0, x.Length), std::max(0, y.Length));
        if (ui->PaintBox1->width() != x.Length || ui->PaintBox1->height() != y.Length) return false;
        // The resize brings its own paint, which finds the size right.
        ui->PaintBox1->Invalidate();
        return false;
    }
    const int hs = ui->ScrollBox1->horizontalScrollBar()->value();
    const int vs = ui->ScrollBox1->verticalScrollBar()->value();
    // Each ruler shows nothing but these: redraw one only when they moved.
    const auto topInputs = [this] { return std::tuple(SheetLeftPx, SheetRightPx, SheetWidthMm); };
    const auto leftInputs = [this] { return std::tuple(SheetTopPx, SheetBottomPx, SheetHeightMm); };
    const auto topBefore = topInputs();
    const auto leftBefore = leftInputs();
    SheetWidthMm = DeviceToMm(w, p);
    SheetHeightMm = DeviceToMm(h, p);
    SheetLeftPx = OriginX - hs;
    SheetRightPx = OriginX + W - hs;
    DragLimitRight = OriginX + W;
    DragLimitBottom = OriginY + H;
    SheetTopPx = OriginY - vs;
    SheetBottomPx = OriginY + H - vs;
    if (topInputs() != topBefore) ui->PaintBox3->Invalidate();
    if (leftInputs() != leftBefore) ui->PaintBox4->Invalidate();
    if (!AreaInitialised) InitialiseArea();
    return true;
}

// Requests from handlers update the state at once; the pixels of all the
// requests made while one event is handled are drawn by a single paint.
void TMainForm::PaintBox1Paint(QObject*) {
    if (PreviewStateStep()) ui->PaintBox1->Invalidate();
}

void TMainForm::DrawPreview(TCanvas& c) {
    const int pw = ui->PaintBox1->width(), ph = ui->PaintBox1->height();
    const int left = OriginX, top = OriginY, right = DragLimitRight, bottom = DragLimitBottom;

    c.Pen.Style = psSolid;
    c.Pen.Color = clBlack;
    c.SetBrushColor(clWhite);
    c.SetBrushStyle(bsSolid);
    c.Rectangle(left, top, right, bottom);
    // A backdrop lies on the sheet, inside its outline.
    backdrop_->Draw(c, mapping_, QRect(QPoint(left + 1, top + 1), QPoint(right - 2, bottom - 2)),
                    ui->PaintBox1->BufferRect());

    c.Pen.Color = clAppWorkSpace;
    c.SetBrushColor(clAppWorkSpace);
    c.Rectangle(0, top, left, bottom);
    c.Rectangle(right, top, pw, bottom);
    c.Rectangle(0, 0, pw, top);
    c.Rectangle(0, bottom, pw, ph);

    areas_->Draw(c, mapping_);
    areas_->ShowStatus();

    c.Pen.Color = clBlack;
    c.Pen.Style = psDot;
    c.SetBrushColor(clWhite);
    const TRect area = mapping_.ToPreview({AreaLeftMm, AreaRightMm, AreaTopMm, AreaBottomMm});
    const int L = area.Left, T = area.Top, R = area.Right, B = area.Bottom;

    c.SetBrushColor(backdrop_->HasBackdrop() ? BackdropAreaHatch : clSilver);
    c.SetBrushStyle(bsDiagCross);
    c.Rectangle(L, T, R, B);

    c.SetBrushColor(clWhite);
    c.SetBrushStyle(bsSolid);
    c.MoveTo(0, T);
    c.LineTo(pw, T);
    c.MoveTo(0, B);
    c.LineTo(pw, B);
    c.MoveTo(L, 0);
    c.LineTo(L, ph);
    c.MoveTo(R, 0);
    c.LineTo(R, ph);
    c.Pen.Style = psSolid;
}

void TMainForm::ZoomEdChange(QObject*) { PaintBox1Paint(this); }

namespace {

// The scroll position that shows from..to in a view of the given length:
// centred when it fits, else its start.
int ScrollToShow(int from, int to, int view) { return to - from <= view ? (from + to - view) / 2 : from; }

} // namespace

void TMainForm::RevealArea(const Area& area) {
    const TRect r = mapping_.ToPreview(area);
    const QSize view = ui->ScrollBox1->viewport()->size();
    ui->ScrollBox1->horizontalScrollBar()->setValue(ScrollToShow(r.Left, r.Right, view.width()));
    ui->ScrollBox1->verticalScrollBar()->setValue(ScrollToShow(r.Top, r.Bottom, view.height()));
}

void TMainForm::FormMouseWheelDown(QObject*) {
    QScrollBar* bar = ui->ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() + 30);
}

void TMainForm::FormMouseWheelUp(QObject*) {
    QScrollBar* bar = ui->ScrollBox1->verticalScrollBar();
    bar->setValue(bar->value() - 30);
}

} // namespace mx
