#pragma once
// A document backdrop: one loaded PDF document or scan of the sheet, its
// current page placed on the sheet and drawn lightened in the preview, and
// the text on it found. Needs no event loop.
#include "backdrop/backdrop_error.h"
#include "geometry/view_mapping.h"
#include "platform/colors.h"
#include "platform/text_word.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>
#include <memory>
#include <optional>

class QByteArray;

namespace mx {

class TCanvas;
class TImageSource;
class TPageSource;
class TJobControl;

// No backdrop pixel is darker than this grey level: the tones are mapped
// into 0x90..0xFF, so black text shows as a mid grey that stays readable
// between the lines of the area's hatch, and the black dotted outline and
// guides keep their contrast.
inline constexpr int BackdropDarkest = 0x90;
// The area's hatch while a backdrop is shown: the silver hatch (0xC0) would
// sink into the grey text beneath it, which is where the area matters
// most; blue lies far below every backdrop tone in luminance.
inline constexpr TColor BackdropAreaHatch = clBlue;

class TBackdrop {
public:
    // Both throw EBackdrop with a message naming the file; a failed load
    // makes no object. Safe on any thread: the object may then move to
    // another one. control, when given, hears the progress and may cancel
    // (the result is then null).
    static std::unique_ptr<TBackdrop> Open(const QString& path, TJobControl* control = nullptr);
    static std::unique_ptr<TBackdrop> FromBytes(const QByteArray& data, const QString& displayName,
                                                TJobControl* control = nullptr);
    ~TBackdrop();
    TBackdrop(const TBackdrop&) = delete;
    TBackdrop& operator=(const TBackdrop&) = delete;

    // The path it was opened from (the display name for bytes).
    QString FileName() const { return fileName_; }
    bool IsPdf() const { return pdf_; }
    int PageCount() const;
    int Page() const { return page_; } // 1-based
    // Throws EBackdrop for a page the document does not have.
    void SetPage(int page);
    // The current page has text: a PDF page's text layer, or the words
    // read on a scan.
    bool HasText() const;

    // A scan's image as decoded, which may be smaller than the file's (null
    // for a PDF document): what its text is read from.
    QImage ScanImage() const;
    // ScanImage()'s dots per inch on the sheet: the stored resolution when
    // the scan lies at true size, else what fitting it into the sheet
    // gives. 0 for a PDF document or without a sheet.
    double ScanDpi(double sheetWidthMm, double sheetHeightMm) const;
    // The words read on ScanImage(), boxes in its pixels: from now on the
    // scan's text, found and given as a PDF page's text layer is.
    void SetScanWords(const TTextWords& words);

    // The current page on the sheet, in millimetres from its top-left
    // corner: a PDF page at its size on paper; an image at the size its
    // stored resolution gives, unless that is none, implausible or far
    // larger than the sheet (a camera's nominal 72 dpi), else fitted into
    // the sheet keeping its aspect ratio. Empty when there is no sheet.
    QRectF PlacementMm(double sheetWidthMm, double sheetHeightMm) const;

    // Draws the lightened current page, clipped to sheetPreview and visible
    // (preview pixels). Renders only when the mapping, the page, the sheet
    // or one of the rectangles changed; only the clipped part is rendered.
    void Draw(TCanvas& canvas, const TViewMapping& mapping, double sheetWidthMm, double sheetHeightMm,
              const QRect& sheetPreview, const QRect& visible);
    // Renders done so far (for tests and benchmarks).
    int RenderCount() const { return renderCount_; }
    // The cached render and where it goes (for tests and benchmarks).
    const QImage& Rendered() const { return rendered_; }
    QPoint RenderedAt() const { return renderedAt_; }

    // The next match of text (ignoring case) on the current page, in sheet
    // millimetres, in reading order and starting over after the last; a
    // different text or page starts at the first. None without a match. A
    // match across a line break gives the box around its parts.
    std::optional<QRectF> FindNext(const QString& text, double sheetWidthMm, double sheetHeightMm);
    // Every match of text on the current page: one box per line a match
    // touches, in sheet millimetres, in reading order.
    QList<QRectF> FindAll(const QString& text, double sheetWidthMm, double sheetHeightMm) const;
    // The current page's words with their boxes in sheet millimetres.
    TTextWords WordsMm(double sheetWidthMm, double sheetHeightMm) const;

private:
    struct TRenderKey {
        TViewMapping Mapping;
        int Page = 0;
        double SheetWidthMm = 0, SheetHeightMm = 0;
        QRect SheetPreview, Visible;
        bool operator==(const TRenderKey&) const = default;
    };

    TBackdrop(std::unique_ptr<TPageSource> source, TImageSource* image, const QString& fileName);
    void Render(const TRenderKey& key);
    QRectF ToSheetMm(const QRectF& pageRect, double sheetWidthMm, double sheetHeightMm) const;

    std::unique_ptr<TPageSource> source_;
    // The source when it is a scan, else null.
    TImageSource* image_;
    QString fileName_;
    bool pdf_;
    int page_ = 1;

    std::optional<TRenderKey> renderedFor_;
    QImage rendered_;
    QPoint renderedAt_;
    int renderCount_ = 0;

    // The current page's words, read once per page.
    const TTextWords& PageWords() const;

    mutable int wordsPage_ = 0;
    mutable TTextWords words_;
    QString searchText_;
    int searchPage_ = 0;
    QList<QRectF> matches_;
    int nextMatch_ = 0;
};

} // namespace mx
