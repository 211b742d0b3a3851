// Moving and resizing the area's edges with the mouse in the preview.
#include "app/main_form.h"
#include "areas/areas_panel.h"
#include "geometry/sheet_math.h"
#include "platform/paintbox.h"
#include "ui_main_form.h"

#include <algorithm>

namespace mx {

namespace {

Qt::CursorShape QtCursor(SizeCursor c) {
    switch (c) {
    case SizeCursor::SizeWE: return Qt::SizeHorCursor;
    case SizeCursor::SizeNS: return Qt::SizeVerCursor;
    case SizeCursor::SizeNWSE: return Qt::SizeFDiagCursor;
    case SizeCursor::SizeNESW: return Qt::SizeBDiagCursor;
    case SizeCursor::Default: break;
    }
    return Qt::ArrowCursor;
}

double ClampTo(double v, double limit) { return std::min(std::max(v, 0.0), limit); }

} // namespace

void TMainForm::PaintBox1MouseMove(Qt::KeyboardModifiers, int x, int y) {
    if (Dragging != 1) {
        const TRect edges = mapping_.ToPreview({AreaLeftMm, AreaRightMm, AreaTopMm, AreaBottomMm});
        const GrabZones zones = HitTestEdges(x, y, edges.Left, edges.Top, edges.Right, edges.Bottom);
        LeftActive = zones.Left;
        RightActive = zones.Right;
        TopActive = zones.Top;
        BottomActive = zones.Bottom;
        OverEdge = zones.Any();
        const Qt::CursorShape shape = QtCursor(CursorForZones(zones));
        if (ui->PaintBox1->cursor().shape() != shape) ui->PaintBox1->setCursor(shape);
        return;
    }
    // Millimetres cannot be had from a zoom that is not positive.
    if (!mapping_.CanMeasure()) return;
    if (LeftActive) AreaLeftMm = mapping_.ToMmX(std::max(x, OriginX));
    if (RightActive) AreaRightMm = mapping_.ToMmX(std::min(x, DragLimitRight));
    if (TopActive) AreaTopMm = mapping_.ToMmY(std::max(y, OriginY));
    if (BottomActive) AreaBottomMm = mapping_.ToMmY(std::min(y, DragLimitBottom));
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

void TMainForm::PaintBox1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers shift, int x, int y) {
    if (!mapping_.CanMeasure()) return;
    // A press on a listed area makes it the one edited; with Ctrl held a
    // new area starts there as anywhere else.
    if (!OverEdge && !(shift & Qt::ControlModifier) && areas_->PickAt(mapping_.ToMmX(x), mapping_.ToMmY(y))) return;
    // Qt keeps the mouse grabbed by the pressed widget until the release,
    // so moves outside the preview still arrive here.
    Dragging = 1;
    if (OverEdge) return;
    RightActive = true;
    BottomActive = true;
    AreaLeftMm = AreaRightMm = ClampTo(mapping_.ToMmX(x), SheetWidthMm);
    AreaTopMm = AreaBottomMm = ClampTo(mapping_.ToMmY(y), SheetHeightMm);
    WriteBackEdges();
    PaintBox1Paint(this);
}

void TMainForm::SetAreaAsTheMouseDoes(const Area& area) {
    AreaLeftMm = area.Left;
    AreaRightMm = area.Right;
    AreaTopMm = area.Top;
    AreaBottomMm = area.Bottom;
    WriteBackEdges();
    PaintBox1Paint(this);
}

void TMainForm::PaintBox1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (Dragging == 1) Dragging = 0;
}

} // namespace mx
