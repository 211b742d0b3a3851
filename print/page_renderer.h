#pragma once
// Drawing one page: the fills of a job, or the outlines, marks and labels
// of a test or calibration page. Marks are placed in the printed side's own
// paper coordinates: device pixels from the left and top edges of the side
// as it lies in front of the user, upright; on the back these are the
// mirrored positions the back job prints at. Everything goes through the
// same correction as the jobs' rectangles.
#include "print/correction.h"
#include "print/overprint_rect.h"

#include <QPoint>
#include <QStringList>
#include <optional>

namespace mx {

class TCanvas;
struct TPrintJob;

class TPageRenderer {
public:
    TPageRenderer(TCanvas& canvas, const PrinterGeometry& g, const std::optional<TSideCorrection>& correction);

    // Device pixels of a position in millimetres, as the jobs convert it.
    int Px(double mm) const;
    // Device pixels of a line's width: at least one.
    int Width(double mm) const;
    // Paper pixels of a printable-area position and back.
    QPoint ToPaper(const QPoint& job) const { return job + QPoint(g_.OffsetX, g_.OffsetY); }
    QPoint ToJob(const QPoint& paper) const { return paper - QPoint(g_.OffsetX, g_.OffsetY); }
    // The printable region in printable-area coordinates; the margins on
    // the right and at the bottom are taken to equal those opposite.
    TRect Printable() const;

    // Every area of the job filled by the fill rule, where DeviceRect puts
    // it (the job's own correction, not the renderer's).
    void FillAreas(const TPrintJob& job);

    // A solid rectangle given like a job's (printable-area coordinates).
    void Fill(const TRect& job, TColor color);
    // A frame of the given width inside a job rectangle.
    void Frame(const TRect& job, int width, TColor color);
    // A cross centred on a job point: arms `arm` pixels each way.
    void Cross(const QPoint& job, int arm, int width, TColor color);
    // Text at a job point: DT_LEFT, DT_CENTER or DT_RIGHT and DT_TOP,
    // DT_VCENTER or DT_BOTTOM say which of its points lies there.
    void Text(const QPoint& job, const QString& text, unsigned align, double heightMm, bool bold = false);
    // Lines of text from a job point downwards; returns the point below.
    QPoint Lines(QPoint job, const QStringList& lines, double heightMm);

    // Millimetre scales along the top and the left edge of the printable
    // region, counted from the paper's edges, whole inside the region.
    void MillimetreScales();

private:
    // The first job coordinate across an edge (the top edge when
    // horizontal, else the left one) that stays inside the printable
    // region after the correction.
    int InsidePrintable(bool horizontal) const;

    TCanvas& canvas_;
    PrinterGeometry g_;
    std::optional<TSideCorrection> correction_;
};

} // namespace mx
