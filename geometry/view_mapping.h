#pragma once
// The preview's one mapping between sheet millimetres and preview pixels:
// the sheet's origin in the preview, the zoom and the screen resolution.
// Made by the complete redraw's state step; the preview, the mouse editing
// and the backdrop convert through it. The rulers place their marks by
// their own formula from the sheet's edges in ruler coordinates, which the
// same state step records.
#include "geometry/sheet_math.h"
#include "platform/canvas.h"

namespace mx {

struct TViewMapping {
    int OriginX = 0;
    int OriginY = 0;
    int Zoom = 0; // percent; a zoom typed below 0 is kept as 0
    int ScreenDpi = 96;

    // Preview pixel of a millimetre position, truncated toward zero.
    int ToPreviewX(double mm) const { return EdgeToPreview(mm, Zoom, ScreenDpi, OriginX); }
    int ToPreviewY(double mm) const { return EdgeToPreview(mm, Zoom, ScreenDpi, OriginY); }
    // Millimetres of a preview pixel; only meaningful while CanMeasure().
    double ToMmX(int px) const { return PreviewToMm(px, OriginX, Zoom, ScreenDpi); }
    double ToMmY(int py) const { return PreviewToMm(py, OriginY, Zoom, ScreenDpi); }
    // Pixels need a positive zoom to turn back into millimetres.
    bool CanMeasure() const { return Zoom > 0 && ScreenDpi > 0; }
    // Preview pixels per millimetre (unrounded), for scaling pictures.
    double PixelsPerMm() const { return Zoom / 100.0 * ScreenDpi / MmPerInch; }

    // The area's four edges in preview pixels (left, top, right, bottom).
    TRect ToPreview(const Area& a) const {
        return {ToPreviewX(a.Left), ToPreviewY(a.Top), ToPreviewX(a.Right), ToPreviewY(a.Bottom)};
    }

    bool operator==(const TViewMapping&) const = default;
};

} // namespace mx
