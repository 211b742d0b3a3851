#pragma once
// Which of the words Tesseract reports are text: a page that reads as
// garbage (upside down, noise) gives none, a block that does (a stamp, a
// picture) is dropped whole, and so is a word without a letter or digit
// (a stroke, a speck) or one read with little confidence.
#include "platform/text_word.h"

namespace mx {

struct TRecognisedWord;

// The words kept, lines numbered again from 0 without gaps.
TTextWords ReadableWords(const QList<TRecognisedWord>& words);

} // namespace mx
