// The PDF pages of a backdrop, through poppler. Built as a module of its
// own that the program opens only when the first PDF document is loaded:
// linking poppler and its libraries into the program would slow down every
// start, with or without a document.
#include "backdrop/page_source.h"
#include "geometry/sheet_math.h"

#include <poppler-qt6.h>

#include <QByteArray>
#include <QVariant>
#include <memory>
#include <vector>

namespace mx {

namespace {

// Pages outside this range (in points) are damage, not paper: the largest
// page a PDF may describe is 200 inches on a side.
constexpr double MinPagePoints = 1;
constexpr double MaxPagePoints = 14400;

bool PlausiblePage(const QSizeF& points) {
    return points.width() >= MinPagePoints && points.height() >= MinPagePoints && points.width() <= MaxPagePoints &&
           points.height() <= MaxPagePoints;
}

// Poppler's complaints about damaged files would otherwise go to the
// program's debug output; the program reports the damage itself.
void IgnorePopplerMessage(const QString&, const QVariant&) {}

class TPdfSource : public TPageSource {
public:
    explicit TPdfSource(std::unique_ptr<Poppler::Document> document)
        : document_(std::move(document)), hasText_(document_->numPages(), Unknown) {
        document_->setRenderHint(Poppler::Document::Antialiasing);
        document_->setRenderHint(Poppler::Document::TextAntialiasing);
    }

    int PageCount() const override { return document_->numPages(); }

    QSizeF PageSize(int index) const override {
        const Poppler::Page* page = At(index);
        if (!page) return {};
        const QSizeF points = page->pageSizeF();
        return PlausiblePage(points) ? points : QSizeF();
    }

    std::optional<QSizeF> TrueSizeMm(int index) const override {
        const QSizeF points = PageSize(index);
        if (points.isEmpty()) return std::nullopt;
        return points / PointsPerInch * MmPerInch;
    }

    bool HasText(int index) const override {
        if (index < 0 || index >= PageCount()) return false;
        if (hasText_[index] == Unknown) {
            const Poppler::Page* page = At(index);
            hasText_[index] = page && !page->text(QRectF()).trimmed().isEmpty() ? Yes : No;
        }
        return hasText_[index] == Yes;
    }

    TTextWords Words(int index) const override {
        const Poppler::Page* page = At(index);
        if (!page) return {};
        TTextWords words;
        int line = 0;
        bool lineEnded = false;
        for (const std::unique_ptr<Poppler::TextBox>& box : page->textList()) {
            if (lineEnded) ++line;
            words.append({box->text(), box->boundingBox(), line});
            // Poppler links the words of a line; the last one has no next.
            lineEnded = box->nextWord() == nullptr;
        }
        return words;
    }

    QImage Render(int index, const QSize& pageSize, const QRect& region) const override {
        const Poppler::Page* page = At(index);
        const QSizeF points = PageSize(index);
        if (!page || points.isEmpty() || pageSize.isEmpty() || region.isEmpty()) return {};
        const double xres = pageSize.width() / (points.width() / PointsPerInch);
        const double yres = pageSize.height() / (points.height() / PointsPerInch);
        return page->renderToImage(xres, yres, region.x(), region.y(), region.width(), region.height());
    }

private:
    static constexpr double PointsPerInch = 72;
    enum TextState : signed char { Unknown, No, Yes };

    // Poppler parses a page anew on every request; the current one is kept.
    const Poppler::Page* At(int index) const {
        if (index < 0 || index >= PageCount()) return nullptr;
        if (!page_ || pageIndex_ != index) {
            page_ = document_->page(index);
            pageIndex_ = index;
        }
        return page_.get();
    }

    std::unique_ptr<Poppler::Document> document_;
    mutable std::unique_ptr<Poppler::Page> page_;
    mutable int pageIndex_ = -1;
    mutable std::vector<TextState> hasText_;
};

} // namespace

} // namespace mx

extern "C" Q_DECL_EXPORT mx::TPageSource* MxOpenPdfV2(const QByteArray& data, mx::TPdfOpenStatus& status) {
    Poppler::setDebugErrorFunction(mx::IgnorePopplerMessage, QVariant());
    status = mx::TPdfOpenStatus::Damaged;
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(data);
    if (!document) return nullptr;
    if (document->isLocked()) {
        status = mx::TPdfOpenStatus::Locked;
        return nullptr;
    }
    if (document->numPages() < 1) return nullptr;
    auto source = std::make_unique<mx::TPdfSource>(std::move(document));
    if (source->PageSize(0).isEmpty()) return nullptr;
    status = mx::TPdfOpenStatus::Opened;
    return source.release();
}
