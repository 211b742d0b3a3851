#include "backdrop/backdrop.h"

#include "backdrop/image_source.h"
#include "backdrop/page_source.h"
#include "backdrop/pdf_module.h"
#include "backdrop/text_search.h"
#include "geometry/sheet_math.h"
#include "platform/canvas.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>

namespace mx {

namespace {

// Files are read whole; anything larger is no scan or document of a sheet.
constexpr qint64 MaxFileBytes = 512LL << 20;
// A render is never larger than this on a side, whatever the caller's
// rectangles say; a screen is smaller.
constexpr int MaxRenderSide = 8192;
// An image whose size on paper exceeds the sheet's by more than this factor
// was not scanned from it: its resolution is a camera's or a tool's default.
constexpr double MaxTrueSizeOverSheet = 1.5;

// A PDF file's header may follow up to 1 KB of other bytes.
bool LooksLikePdf(const QByteArray& data) { return data.left(1024).contains("%PDF-"); }

QImage Lightened(const QImage& image) {
    static const std::array<uchar, 256> tone = [] {
        std::array<uchar, 256> t{};
        for (int v = 0; v < 256; ++v) t[v] = uchar(BackdropDarkest + (v * (255 - BackdropDarkest) + 127) / 255);
        return t;
    }();
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(tone[qRed(p)], tone[qGreen(p)], tone[qBlue(p)]);
        }
    }
    return out;
}

} // namespace

TBackdrop::TBackdrop(std::unique_ptr<TPageSource> source, TImageSource* image, const QString& fileName)
    : source_(std::move(source)), image_(image), fileName_(fileName), pdf_(image == nullptr) {}

TBackdrop::~TBackdrop() = default;

std::unique_ptr<TBackdrop> TBackdrop::Open(const QString& path, TJobControl* control) {
    const QFileInfo info(path);
    if (!info.exists()) throw EBackdrop(QStringLiteral("Die Datei %1 gibt es nicht").arg(QuotedFileName(path)));
    if (info.isDir())
        throw EBackdrop(QStringLiteral("%1 ist ein Ordner, keine Datei: wählen Sie ein PDF-Dokument oder einen Scan")
                            .arg(QuotedFileName(path)));
    const auto unreadable = [&] {
        return EBackdrop(QStringLiteral("Die Datei %1 kann nicht gelesen werden").arg(QuotedFileName(path)));
    };
    if (!info.isFile()) throw unreadable();
    if (info.size() > MaxFileBytes)
        throw EBackdrop(QStringLiteral("Die Datei %1 ist zu groß (mehr als %2 MB)")
                            .arg(QuotedFileName(path), QString::number(MaxFileBytes >> 20)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw unreadable();
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) throw unreadable();
    return FromBytes(data, path, control);
}

std::unique_ptr<TBackdrop> TBackdrop::FromBytes(const QByteArray& data, const QString& displayName,
                                                TJobControl* control) {
    if (LooksLikePdf(data))
        return std::unique_ptr<TBackdrop>(new TBackdrop(OpenPdf(data, displayName), nullptr, displayName));
    std::unique_ptr<TImageSource> image = OpenImage(data, displayName, control);
    if (!image) return nullptr;
    TImageSource* scan = image.get();
    return std::unique_ptr<TBackdrop>(new TBackdrop(std::move(image), scan, displayName));
}

int TBackdrop::PageCount() const { return source_->PageCount(); }

void TBackdrop::SetPage(int page) {
    const int count = PageCount();
    if (page < 1 || page > count) {
        const QString kind = pdf_ ? QStringLiteral("das Dokument") : QStringLiteral("das Bild");
        const QString pages = count == 1 ? QStringLiteral("nur eine Seite") : QStringLiteral("%1 Seiten").arg(count);
        throw EBackdrop(QStringLiteral("Seite %1 gibt es nicht: %2 %3 hat %4")
                            .arg(page)
                            .arg(kind, QuotedFileName(fileName_), pages));
    }
    if (source_->PageSize(page - 1).isEmpty())
        throw EBackdrop(
            QStringLiteral("Seite %1 des PDF-Dokuments %2 ist beschädigt").arg(page).arg(QuotedFileName(fileName_)));
    page_ = page;
    renderedFor_.reset();
    rendered_ = QImage();
}

bool TBackdrop::HasText() const { return source_->HasText(page_ - 1); }

QImage TBackdrop::ScanImage() const { return image_ ? image_->Decoded() : QImage(); }

double TBackdrop::ScanDpi(double sheetWidthMm, double sheetHeightMm) const {
    const QRectF placement = PlacementMm(sheetWidthMm, sheetHeightMm);
    if (!image_ || placement.isEmpty()) return 0;
    return image_->Decoded().width() / (placement.width() / MmPerInch);
}

void TBackdrop::SetScanWords(const TTextWords& words) {
    if (!image_) return;
    image_->SetDecodedWords(words);
    // What was read and searched before no longer holds.
    wordsPage_ = 0;
    searchPage_ = 0;
    matches_.clear();
}

QRectF TBackdrop::PlacementMm(double sheetWidthMm, double sheetHeightMm) const {
    const int index = page_ - 1;
    const std::optional<QSizeF> trueSize = source_->TrueSizeMm(index);
    const bool onSheet = trueSize && trueSize->width() <= sheetWidthMm * MaxTrueSizeOverSheet &&
                         trueSize->height() <= sheetHeightMm * MaxTrueSizeOverSheet;
    if (trueSize && (pdf_ || onSheet)) return QRectF(QPointF(0, 0), *trueSize);
    const QSizeF size = source_->PageSize(index);
    if (size.isEmpty() || !(sheetWidthMm > 0) || !(sheetHeightMm > 0)) return {};
    const double scale = std::min(sheetWidthMm / size.width(), sheetHeightMm / size.height());
    return QRectF(0, 0, size.width() * scale, size.height() * scale);
}

void TBackdrop::Draw(TCanvas& canvas, const TViewMapping& mapping, double sheetWidthMm, double sheetHeightMm,
                     const QRect& sheetPreview, const QRect& visible) {
    const TRenderKey key{mapping, page_, sheetWidthMm, sheetHeightMm, sheetPreview, visible};
    if (renderedFor_ != key) Render(key);
    if (!rendered_.isNull()) canvas.Draw(renderedAt_.x(), renderedAt_.y(), rendered_);
}

void TBackdrop::Render(const TRenderKey& key) {
    renderedFor_ = key;
    rendered_ = QImage();
    const TViewMapping& m = key.Mapping;
    const QRectF placement = PlacementMm(key.SheetWidthMm, key.SheetHeightMm);
    // The page's corners go through the preview's own truncating mapping,
    // so the backdrop lines up with everything else drawn there.
    const QPoint topLeft(m.ToPreviewX(placement.left()), m.ToPreviewY(placement.top()));
    const QPoint bottomRight(m.ToPreviewX(placement.right()), m.ToPreviewY(placement.bottom()));
    const QRect onPreview(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
    QRect region = onPreview & key.SheetPreview & key.Visible;
    if (region.isEmpty()) return;
    region.setSize(region.size().boundedTo(QSize(MaxRenderSide, MaxRenderSide)));
    ++renderCount_;
    const QImage image = source_->Render(page_ - 1, onPreview.size(), region.translated(-onPreview.topLeft()));
    if (image.isNull()) return;
    rendered_ = Lightened(image);
    renderedAt_ = region.topLeft();
}

QRectF TBackdrop::ToSheetMm(const QRectF& pageRect, double sheetWidthMm, double sheetHeightMm) const {
    const QRectF placement = PlacementMm(sheetWidthMm, sheetHeightMm);
    const QSizeF size = source_->PageSize(page_ - 1);
    const double sx = placement.width() / size.width(), sy = placement.height() / size.height();
    return QRectF(placement.left() + pageRect.left() * sx, placement.top() + pageRect.top() * sy, pageRect.width() * sx,
                  pageRect.height() * sy);
}

const TTextWords& TBackdrop::PageWords() const {
    if (wordsPage_ != page_) {
        words_ = source_->Words(page_ - 1);
        wordsPage_ = page_;
    }
    return words_;
}

TTextWords TBackdrop::WordsMm(double sheetWidthMm, double sheetHeightMm) const {
    TTextWords words = PageWords();
    for (TTextWord& word : words) word.Box = ToSheetMm(word.Box, sheetWidthMm, sheetHeightMm);
    return words;
}

std::optional<QRectF> TBackdrop::FindNext(const QString& text, double sheetWidthMm, double sheetHeightMm) {
    if (text != searchText_ || page_ != searchPage_) {
        searchText_ = text;
        searchPage_ = page_;
        matches_.clear();
        for (const TTextMatch& match : FindText(PageWords(), text)) {
            QRectF around;
            for (const QRectF& box : match.Boxes) around |= box;
            matches_.append(around);
        }
        // Stepped through line by line down the page, left to right in a
        // line, whatever columns the text layer found.
        const auto line = [](const QRectF& box) { return qRound(box.center().y() / 3); };
        std::stable_sort(matches_.begin(), matches_.end(), [&](const QRectF& a, const QRectF& b) {
            return std::pair(line(a), a.left()) < std::pair(line(b), b.left());
        });
        nextMatch_ = 0;
    }
    if (matches_.isEmpty()) return std::nullopt;
    const QRectF match = matches_[nextMatch_];
    nextMatch_ = (nextMatch_ + 1) % matches_.size();
    return ToSheetMm(match, sheetWidthMm, sheetHeightMm);
}

QList<QRectF> TBackdrop::FindAll(const QString& text, double sheetWidthMm, double sheetHeightMm) const {
    QList<QRectF> boxes;
    for (const TTextMatch& match : FindText(PageWords(), text))
        for (const QRectF& box : match.Boxes) boxes.append(ToSheetMm(box, sheetWidthMm, sheetHeightMm));
    return boxes;
}

} // namespace mx
