// Moving and resizing the area's edges with the mouse in the preview.
#include "app/main_form.h"
#include "platform/paintbox.h"
#include "sheet/sheet_math.h"
#include "ui_main_form.h"

#include <algorithm>

namespace mx {

namespace {

Qt::CursorShape qtCursor(SizeCursor c) {
    switch (c) {
    case SizeCursor::SizeWE: return Qt::SizeHorCursor;
    case SizeCursor::SizeNS: return Qt::SizeVerCursor;
    case SizeCursor::SizeNWSE: return Qt::SizeFDiagCursor;
    case SizeCursor::SizeNESW: return Qt::SizeBDiagCursor;
    case SizeCursor::Default: break;
    }
    return Qt::ArrowCursor;
}

double clampTo(double v, double limit) { return std::min(std::max(v, 0.0), limit); }

} // namespace

void TMainForm::PaintBox1MouseMove(Qt::KeyboardModifiers, int x, int y) {
    const int s = ScreenDpi();
    const int z = Zoom();
    if (Dragging != 1) {
        const int zoom = std::max(0, z);
        const int L = EdgeToPreview(AreaLeftMm, zoom, s, OriginX);
        const int T = EdgeToPreview(AreaTopMm, zoom, s, OriginY);
        const int B = EdgeToPreview(AreaBottomMm, zoom, s, OriginY);
        const int R = EdgeToPreview(AreaRightMm, zoom, s, OriginX);
        const GrabZones zones = HitTestEdges(x, y, L, T, R, B);
        LeftActive = zones.Left;
        RightActive = zones.Right;
        TopActive = zones.Top;
        BottomActive = zones.Bottom;
        OverEdge = zones.Any();
        const Qt::CursorShape shape = qtCursor(CursorForZones(zones));
        if (ui->PaintBox1->cursor().shape() != shape) ui->PaintBox1->setCursor(shape);
        return;
    }
    // Millimetres cannot be had from a zoom that is not positive.
    if (z <= 0) return;
    if (LeftActive) AreaLeftMm = PreviewToMm(std::max(x, OriginX), OriginX, z, s);
    if (RightActive) AreaRightMm = PreviewToMm(std::min(x, DragLimitRight), OriginX, z, s);
    if (TopActive) AreaTopMm = PreviewToMm(std::max(y, OriginY), OriginY, z, s);
    if (BottomActive) AreaBottomMm = PreviewToMm(std::min(y, DragLimitBottom), OriginY, z, s);
    if (AreaLeftMm > AreaRightMm) {
        std::swap(AreaLeftMm, AreaRightMm);
        std::swap(LeftActive, RightActive);
    }
    if (AreaTopMm > AreaBottomMm) {
        std::swap(AreaTopMm, AreaBottomMm);
        std::swap(TopActive, BottomActive);
    }
    WriteBackEdges();
    PaintBox1Paint(this);
}

void TMainForm::PaintBox1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    const int z = Zoom();
    if (z <= 0) return;
    // Qt keeps the mouse grabbed by the pressed widget until the release,
    // so moves outside the preview still arrive here.
    Dragging = 1;
    if (OverEdge) return;
    const int s = ScreenDpi();
    RightActive = true;
    BottomActive = true;
    AreaLeftMm = AreaRightMm = clampTo(PreviewToMm(x, OriginX, z, s), SheetWidthMm);
    AreaTopMm = AreaBottomMm = clampTo(PreviewToMm(y, OriginY, z, s), SheetHeightMm);
    WriteBackEdges();
    PaintBox1Paint(this);
}

void TMainForm::PaintBox1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (Dragging == 1) Dragging = 0;
}

} // namespace mx
