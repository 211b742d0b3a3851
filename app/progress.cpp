// The progress bar in the status bar's second panel.
#include "app/main_form.h"
#include "platform/status_bar.h"
#include "ui_main_form.h"

#include <algorithm>

namespace mx {

namespace {

void DrawBar(TCanvas& canvas, const TRect& panel, int percent) {
    canvas.Pen.Color = clNavy;
    canvas.Pen.Style = psSolid;
    canvas.SetBrushColor(clNavy);
    canvas.SetBrushStyle(bsSolid);
    // Values outside 0 to 100 are shown as an empty or a full bar.
    const int right = panel.Left + (panel.Right - panel.Left) * std::clamp(percent, 0, 100) / 100;
    canvas.Rectangle(panel.Left, panel.Top, right, panel.Bottom);
}

} // namespace

void TMainForm::StatusBar1DrawPanel(TStatusBar* statusBar, int, const TRect& rect) {
    DrawBar(statusBar->Canvas(), rect, ProgressPercent);
    ProgressRect = rect;
}

void TMainForm::SBarPaintMore() { DrawBar(ui->StatusBar1->Canvas(), ProgressRect, ProgressPercent); }

void TMainForm::SetProStatus(int value) {
    if (value < ProgressPercent) {
        ProgressPercent = value;
        ui->StatusBar1->Repaint();
    } else {
        ProgressPercent = value;
        SBarPaintMore();
    }
}

void TMainForm::WMUser(int wParam) { SetProStatus(wParam); }

} // namespace mx
