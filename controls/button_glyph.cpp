#include "controls/button_glyph.h"

#include "platform/exception.h"

#include <QPainter>
#include <QString>
#include <algorithm>

namespace mx {

namespace {

std::unique_ptr<TGlyphCache> cache;

TGlyphCache& EnsureCache() {
    if (!cache) cache = std::make_unique<TGlyphCache>();
    return *cache;
}

QRgb ToRgb(TColor c) {
    const TColor v = ColorToRGB(c);
    return qRgb(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

TColor PixelColor(const QImage& image, int x, int y) { return FromQColor(QColor(image.pixel(x, y))); }

TColor BottomLeft(const QImage& image) { return PixelColor(image, 0, image.height() - 1); }

// Sets every pixel of work where the source pixel (offset by dx) matches.
void ReplaceWhere(QImage& work, const QImage& source, int dx, QRgb match, QRgb with) {
    for (int y = 0; y < work.height(); ++y)
        for (int x = 0; x < work.width(); ++x)
            if ((source.pixel(x + dx, y) & 0xFFFFFF) == (match & 0xFFFFFF)) work.setPixel(x, y, with);
}

} // namespace

TGlyphCache* GlyphCache() { return cache.get(); }

// ---- TGlyphList ----

TGlyphList::TGlyphList(int width, int height) : width_(width), height_(height) {}

int TGlyphList::AddImage(const QImage& image, TColor maskColor) {
    if (image.width() != width_ || image.height() != height_) throw Exception("Bild kann nicht ersetzt werden");
    auto slot = std::find(used_.begin(), used_.end(), false);
    int index;
    if (slot == used_.end()) {
        index = int(images_.size());
        images_.emplace_back();
        used_.push_back(false);
    } else {
        index = int(slot - used_.begin());
    }
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = ToRgb(maskColor) & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & 0xFFFFFF) == mask) line[x] = 0;
    }
    images_[index] = masked;
    used_[index] = true;
    ++usedCount_;
    return index;
}

void TGlyphList::FreeSlot(int index) {
    if (index < 0 || index >= int(used_.size()) || !used_[index]) return;
    used_[index] = false;
    --usedCount_;
}

void TGlyphList::Draw(QPainter& painter, int index, QPoint at) const {
    if (index < 0 || index >= int(images_.size())) return;
    painter.drawImage(at, images_[index]);
}

// ---- TGlyphCache ----

TGlyphList* TGlyphCache::ListForSize(int width, int height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::GiveBackList(TGlyphList* list) {
    if (!list || list->UsedCount() != 0) return;
    std::erase_if(lists_, [list](const auto& owned) { return owned.get() == list; });
}

// ---- TButtonGlyph ----

TButtonGlyph::TButtonGlyph() { EnsureCache(); }

TButtonGlyph::~TButtonGlyph() {
    DropImages();
    if (cache && cache->IsEmpty()) cache.reset();
}

void TButtonGlyph::DropImages() {
    for (int& index : indexes_) {
        if (index != -1 && list_) list_->FreeSlot(index);
        index = -1;
    }
    if (cache) cache->GiveBackList(list_);
    list_ = nullptr;
}

void TButtonGlyph::Changed() {
    if (!strip_.isNull() && strip_.height() > 0 && strip_.width() > 0) transparentColor_ = BottomLeft(strip_);
    DropImages();
    if (OnChange) OnChange();
}

void TButtonGlyph::SetGlyph(const QImage& strip) {
    DropImages();
    strip_ = strip;
    if (!strip_.isNull() && strip_.height() > 0 && strip_.width() > 0) {
        transparentColor_ = BottomLeft(strip_);
        if (strip_.width() % strip_.height() == 0) {
            int n = strip_.width() / strip_.height();
            if (n > 4) n = 1;
            SetNumGlyphs(n);
        }
    }
    Changed();
}

void TButtonGlyph::SetNumGlyphs(int n) {
    if (n < 1 || n > 4 || n == numGlyphs_) return;
    DropImages();
    numGlyphs_ = n;
    Changed();
}

int TButtonGlyph::BuildStateImage(TButtonState state) {
    if (state == bsDown && numGlyphs_ < 3) state = bsUp;
    int& index = indexes_[state];
    if (index != -1) return index;
    if (strip_.isNull() || strip_.width() == 0 || strip_.height() == 0) return -1;
    const int w = strip_.width() / numGlyphs_;
    const int h = strip_.height();
    if (w == 0) return -1;
    if (!list_) list_ = EnsureCache().ListForSize(w, h);

    QImage work(w, h, QImage::Format_RGB32);
    const int sourceImage = state < numGlyphs_ ? int(state) : 0;
    const QImage source = strip_.convertToFormat(QImage::Format_RGB32);
    if (state != bsDisabled) {
        work = source.copy(sourceImage * w, 0, w, h);
    } else if (numGlyphs_ >= 2) {
        // Image 1 in the system colours; every test looks at the strip.
        work = source.copy(w, 0, w, h);
        ReplaceWhere(work, source, w, qRgb(255, 255, 255), ToRgb(clBtnHighlight));
        ReplaceWhere(work, source, w, qRgb(128, 128, 128), ToRgb(clBtnShadow));
        ReplaceWhere(work, source, w, ToRgb(transparentColor_), ToRgb(clBtnFace));
    } else {
        // The black pixels of the only image, etched.
        work.fill(ToRgb(clBtnFace));
        const QRgb light = ToRgb(clBtnHighlight), dark = ToRgb(clBtnShadow);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((source.pixel(x, y) & 0xFFFFFF) == 0 && x + 1 < w && y + 1 < h) work.setPixel(x + 1, y + 1, light);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((source.pixel(x, y) & 0xFFFFFF) == 0) work.setPixel(x, y, dark);
    }
    index = list_->AddImage(work, BottomLeft(work));
    return index;
}

TRect TButtonGlyph::PaintContent(TCanvas& canvas, const TRect& client, const QString& caption, TButtonLayout layout,
                                 int margin, int spacing, TButtonState state, unsigned biDiFlags) {
    const TContentLayout placed = LayOutContent(canvas, client, caption, layout, margin, spacing, biDiFlags);
    PaintGlyphImage(canvas, placed.GlyphPos, state);
    PaintCaptionText(canvas, caption, placed.TextBounds, state, biDiFlags);
    return placed.TextBounds;
}

TContentLayout TButtonGlyph::LayOutContent(TCanvas& canvas, const TRect& client, const QString& caption,
                                           TButtonLayout layout, int margin, int spacing, unsigned biDiFlags) const {
    if (biDiFlags & DT_RIGHT) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const int cw = client.Width(), ch = client.Height();
    int gw = 0, gh = 0;
    if (!strip_.isNull() && strip_.width() > 0 && strip_.height() > 0) {
        gw = strip_.width() / numGlyphs_;
        gh = strip_.height();
    }
    TRect text{0, 0, cw, 0};
    if (!caption.isEmpty())
        canvas.DrawText(caption, text, DT_CALCRECT | biDiFlags);
    else
        text = {};
    const int tw = text.Width(), th = text.Height();

    QPoint glyph, textPos;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    if (horizontal) {
        glyph.setY((ch - gh + 1) / 2);
        textPos.setY((ch - th + 1) / 2);
    } else {
        glyph.setX((cw - gw + 1) / 2);
        textPos.setX((cw - tw + 1) / 2);
    }
    if (tw == 0 || gw == 0) spacing = 0;

    const int content = horizontal ? cw : ch;
    const int glyphAlong = horizontal ? gw : gh;
    const int textAlong = horizontal ? tw : th;
    if (margin == -1 && spacing == -1) {
        margin = (content - (glyphAlong + textAlong)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (content - (glyphAlong + spacing + textAlong) + 1) / 2;
    } else if (spacing == -1) {
        spacing = ((content - (margin + glyphAlong)) - textAlong) / 2;
    }

    switch (layout) {
    case blGlyphLeft:
        glyph.setX(margin);
        textPos.setX(margin + gw + spacing);
        break;
    case blGlyphRight:
        glyph.setX(cw - margin - gw);
        textPos.setX(glyph.x() - spacing - tw);
        break;
    case blGlyphTop:
        glyph.setY(margin);
        textPos.setY(margin + gh + spacing);
        break;
    case blGlyphBottom:
        glyph.setY(ch - margin - gh);
        textPos.setY(glyph.y() - spacing - th);
        break;
    }
    const QPoint origin(client.Left, client.Top);
    glyph += origin;
    textPos += origin;
    const TRect bounds{textPos.x() + text.Left, textPos.y() + text.Top, textPos.x() + text.Right,
                       textPos.y() + text.Bottom};
    return {glyph, bounds};
}

void TButtonGlyph::PaintGlyphImage(TCanvas& canvas, QPoint at, TButtonState state) {
    if (strip_.isNull() || strip_.width() == 0 || strip_.height() == 0) return;
    const int index = BuildStateImage(state);
    if (index != -1 && list_) list_->Draw(canvas.Painter(), index, at);
}

void TButtonGlyph::PaintCaptionText(TCanvas& canvas, const QString& caption, const TRect& textBounds,
                                    TButtonState state, unsigned biDiFlags) {
    canvas.SetBrushStyle(bsClear);
    const unsigned format = DT_CENTER | DT_VCENTER | biDiFlags;
    if (state == bsDisabled) {
        const TColor before = canvas.FontColor;
        TRect moved{textBounds.Left + 1, textBounds.Top + 1, textBounds.Right + 1, textBounds.Bottom + 1};
        canvas.FontColor = clBtnHighlight;
        canvas.DrawText(caption, moved, format);
        TRect bounds = textBounds;
        canvas.FontColor = clBtnShadow;
        canvas.DrawText(caption, bounds, format);
        canvas.FontColor = before;
    } else {
        TRect bounds = textBounds;
        canvas.DrawText(caption, bounds, format);
    }
}

} // namespace mx
