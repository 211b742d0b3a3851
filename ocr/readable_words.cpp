#include "ocr/readable_words.h"

#include "ocr/ocr_module.h"

#include <QHash>
#include <algorithm>

namespace mx {

namespace {

// Tesseract's confidence (0 to 100) of words in a block of text, weighed by
// their length, below which the block is no text; and of a single word.
constexpr double MinBlockConfidence = 60;
constexpr double MinWordConfidence = 40;

bool HasLetterOrDigit(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

} // namespace

TTextWords ReadableWords(const QList<TRecognisedWord>& words) {
    QHash<int, double> weighted, length;
    for (const TRecognisedWord& w : words) {
        const int n = int(w.Text.trimmed().size());
        weighted[w.Block] += w.Confidence * n;
        length[w.Block] += n;
    }
    TTextWords kept;
    int lastLine = -1;
    for (const TRecognisedWord& w : words) {
        const QString text = w.Text.trimmed();
        if (length[w.Block] <= 0 || weighted[w.Block] / length[w.Block] < MinBlockConfidence) continue;
        if (!HasLetterOrDigit(text) || w.Confidence < MinWordConfidence || w.Box.isEmpty()) continue;
        const int line = kept.isEmpty() ? 0 : kept.back().Line + (w.Line != lastLine);
        lastLine = w.Line;
        kept.append({text, QRectF(w.Box), line});
    }
    return kept;
}

} // namespace mx
