#pragma once
// The glyph of a bitmap push button: a strip of up to four images, one per
// button state, whose masked per-state images are built on first use and
// kept in image lists shared program-wide by image size.
#include "platform/canvas.h"
#include "platform/colors.h"

#include <QImage>
#include <QPoint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QString;

namespace mx {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Masked images of one size; slots of removed images are reused.
class TGlyphList {
public:
    TGlyphList(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Places the image, with every pixel of maskColor transparent, into the
    // first free slot and returns the slot.
    int AddImage(const QImage& image, TColor maskColor);
    void FreeSlot(int index);
    int UsedCount() const { return usedCount_; }
    int SlotCount() const { return int(images_.size()); }
    const QImage& Image(int index) const { return images_.at(index); }
    void Draw(QPainter& painter, int index, QPoint at) const;

private:
    int width_, height_;
    std::vector<QImage> images_;
    std::vector<bool> used_;
    int usedCount_ = 0;
};

class TGlyphCache {
public:
    TGlyphList* ListForSize(int width, int height);
    // Destroys the list once it holds no image.
    void GiveBackList(TGlyphList* list);
    bool IsEmpty() const { return lists_.empty(); }
    int ListCount() const { return int(lists_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// The program-wide cache; none while no glyph needs one.
TGlyphCache* GlyphCache();

struct TContentLayout {
    QPoint GlyphPos;
    TRect TextBounds;
};

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    const QImage& Glyph() const { return strip_; }
    void SetGlyph(const QImage& strip);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    TColor TransparentColor() const { return transparentColor_; }
    TGlyphList* ImageList() const { return list_; }

    // Image index of the state in ImageList(), built when first asked; -1
    // without a strip.
    int BuildStateImage(TButtonState state);

    TRect PaintContent(TCanvas& canvas, const TRect& client, const QString& caption, TButtonLayout layout, int margin,
                       int spacing, TButtonState state, unsigned biDiFlags);
    TContentLayout LayOutContent(TCanvas& canvas, const TRect& client, const QString& caption, TButtonLayout layout,
                                 int margin, int spacing, unsigned biDiFlags) const;
    void PaintGlyphImage(TCanvas& canvas, QPoint at, TButtonState state);
    void PaintCaptionText(TCanvas& canvas, const QString& caption, const TRect& textBounds, TButtonState state,
                          unsigned biDiFlags);

    // Fires whenever the strip or the number of images changes.
    std::function<void()> OnChange;

private:
    void DropImages();
    void Changed();

    QImage strip_;
    TGlyphList* list_ = nullptr;
    int indexes_[4] = {-1, -1, -1, -1};
    TColor transparentColor_ = clOlive;
    int numGlyphs_ = 1;
};

} // namespace mx
