#include "ocr/readable_words.h"

#include "ocr/ocr_module.h"

#include <QHash>
#include <algorithm>

namespace mx {

namespace {

// Tesseract's confidence (0 to 100) in text, weighed by the words'
// lengths: the blocks of a letter read at 85 to 96, those of a page upside
// down at 10 to 55, one short block of it now and then at 80. So a page is
// text when it reads at 60 or more as a whole, and then a block of it when
// that block does (not a stamp, a signature, a picture).
constexpr double MinPageConfidence = 60;
constexpr double MinBlockConfidence = 60;
// A word read with less is more likely a speck than a word.
constexpr double MinWordConfidence = 40;

bool HasLetterOrDigit(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

} // namespace

TTextWords ReadableWords(const QList<TRecognisedWord>& words) {
    // Confidence times length, and length, per block.
    QHash<int, std::pair<double, double>> blocks;
    double pageWeighted = 0, pageLength = 0;
    for (const TRecognisedWord& w : words) {
        const double n = double(w.Text.trimmed().size());
        blocks[w.Block].first += w.Confidence * n;
        blocks[w.Block].second += n;
        pageWeighted += w.Confidence * n;
        pageLength += n;
    }
    const auto reads = [](double weighted, double length, double least) {
        return length > 0 && weighted / length >= least;
    };
    TTextWords kept;
    if (!reads(pageWeighted, pageLength, MinPageConfidence)) return kept;
    int lastLine = -1;
    for (const TRecognisedWord& w : words) {
        const QString text = w.Text.trimmed();
        const auto [weighted, length] = blocks.value(w.Block);
        if (!reads(weighted, length, MinBlockConfidence)) continue;
        if (!HasLetterOrDigit(text) || w.Confidence < MinWordConfidence || w.Box.isEmpty()) continue;
        const int line = kept.isEmpty() ? 0 : kept.back().Line + (w.Line != lastLine);
        lastLine = w.Line;
        kept.append({text, QRectF(w.Box), line});
    }
    return kept;
}

} // namespace mx
