#include "print/page_renderer.h"

#include "platform/canvas.h"
#include "platform/fonts.h"
#include "print/fill_style.h"
#include "print/print_job.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mx {

namespace {

TRect Normalised(TRect r) {
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

} // namespace

TPageRenderer::TPageRenderer(TCanvas& canvas, const PrinterGeometry& g,
                             const std::optional<TSideCorrection>& correction)
    : canvas_(canvas), g_(g), correction_(correction) {}

int TPageRenderer::Px(double mm) const { return MmToDevice(mm, g_.Dpi); }

int TPageRenderer::Width(double mm) const { return std::max(1, Px(mm)); }

TRect TPageRenderer::Printable() const {
    return {0, 0, g_.PaperWidth - 2 * g_.OffsetX, g_.PaperHeight - 2 * g_.OffsetY};
}

void TPageRenderer::FillAreas(const TPrintJob& job) {
    for (const Area& area : job.Areas)
        ApplyFillRule(canvas_, DeviceRect(area, job.Back, g_, job.Correction), job.FillIndex, job.Foreground,
                      job.Background);
}

void TPageRenderer::Fill(const TRect& job, TColor color) {
    const TRect r = Normalised(job);
    TRect c = CorrectedRect(r, g_, correction_);
    // A scale can close a line of one pixel; the far edge gives way.
    if (r.Width() > 0 && c.Width() <= 0) c.Right = c.Left + 1;
    if (r.Height() > 0 && c.Height() <= 0) c.Bottom = c.Top + 1;
    canvas_.SetBrushStyle(bsSolid);
    canvas_.SetBrushColor(color);
    canvas_.FillRect(c);
}

void TPageRenderer::Frame(const TRect& job, int width, TColor color) {
    const TRect r = Normalised(job);
    const int w = std::min({width, r.Width(), r.Height()});
    if (w <= 0) return;
    Fill({r.Left, r.Top, r.Right, r.Top + w}, color);
    Fill({r.Left, r.Bottom - w, r.Right, r.Bottom}, color);
    Fill({r.Left, r.Top + w, r.Left + w, r.Bottom - w}, color);
    Fill({r.Right - w, r.Top + w, r.Right, r.Bottom - w}, color);
}

void TPageRenderer::Cross(const QPoint& job, int arm, int width, TColor color) {
    const int left = job.x() - width / 2, top = job.y() - width / 2;
    Fill({job.x() - arm, top, job.x() + arm, top + width}, color);
    Fill({left, job.y() - arm, left + width, job.y() + arm}, color);
}

void TPageRenderer::Text(const QPoint& job, const QString& text, unsigned align, double heightMm, bool bold) {
    canvas_.Font = WindowsFont("Arial", Width(heightMm), bold ? QFont::Bold : QFont::Normal);
    canvas_.FontColor = clBlack;
    canvas_.SetBkMode(TRANSPARENT);
    const QPoint at = CorrectedPoint(job, g_, correction_);
    const int width = canvas_.TextWidth(text), height = canvas_.TextHeight(text);
    const int x = at.x() - ((align & DT_RIGHT) ? width : (align & DT_CENTER) ? width / 2 : 0);
    const int y = at.y() - ((align & DT_BOTTOM) ? height : (align & DT_VCENTER) ? height / 2 : 0);
    canvas_.TextOut(x, y, text);
}

QPoint TPageRenderer::Lines(QPoint job, const QStringList& lines, double heightMm) {
    for (const QString& line : lines) {
        Text(job, line, DT_LEFT | DT_TOP, heightMm);
        job.ry() += Px(heightMm * 1.5);
    }
    return job;
}

int TPageRenderer::InsidePrintable(bool horizontal) const {
    // A correction towards the edge would move marks drawn at the edge off
    // the printable region, where the device cuts them.
    int from = 0;
    for (int tries = 0; tries < 3; ++tries) {
        const QPoint landed = CorrectedPoint({from, from}, g_, correction_);
        const int at = horizontal ? landed.y() : landed.x();
        if (at >= 0) break;
        from -= at;
    }
    return from;
}

void TPageRenderer::MillimetreScales() {
    const TRect printable = Printable();
    const int tick = Width(0.15);
    for (const bool horizontal : {true, false}) {
        const int origin = horizontal ? g_.OffsetX : g_.OffsetY;
        const int extent = horizontal ? printable.Right : printable.Bottom;
        // The ticks hang from the edge across this scale's axis.
        const int base = InsidePrintable(horizontal);
        const int first = int(std::ceil(DeviceToMm(origin, g_.Dpi)));
        const int last = int(std::floor(DeviceToMm(origin + extent, g_.Dpi)));
        for (int mm = first; mm <= last; ++mm) {
            const int at = Px(mm) - origin;
            const int length = Px(mm % 10 == 0 ? 4 : mm % 5 == 0 ? 2.5 : 1.5);
            const int from = at - tick / 2;
            Fill(horizontal ? TRect{from, base, from + tick, base + length}
                            : TRect{base, from, base + length, from + tick},
                 clBlack);
            // Numbers start clear of the corner where both scales meet.
            if (mm % 10 != 0 || at < Px(8)) continue;
            if (horizontal)
                Text({at, base + Px(4.5)}, QString::number(mm), DT_CENTER | DT_TOP, 2.5);
            else
                Text({base + Px(4.5), at}, QString::number(mm), DT_LEFT | DT_VCENTER, 2.5);
        }
    }
}

} // namespace mx
