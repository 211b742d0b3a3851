#pragma once
// What the program and the text recognition module (ocr/tesseract/, which
// links Tesseract) share. The module is loaded on first use; this header
// is all the two sides have in common and must stay free of anything but
// Qt value types and the standard library.
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <atomic>
#include <functional>

namespace mx {

// A word as Tesseract reads it, before the program decides what to keep.
struct TRecognisedWord {
    QString Text;
    // In the image's pixels, from its top-left corner.
    QRect Box;
    // Numbered from 0 in reading order.
    int Line = 0;
    int Block = 0;
    // 0 to 100.
    double Confidence = 0;
};

struct TRecognitionRequest {
    // Eight-bit grey (Format_Grayscale8).
    QImage Image;
    int Dpi = 300;
    // Folder of the *.traineddata files, and languages as Tesseract names
    // them ("deu+eng").
    QString DataPath;
    QString Languages;
};

enum class TRecognitionStatus { Done, Cancelled, NoLanguageData, Failed };

// The module's one entry point. Recognitions are serialised; progress
// gets percent done, cancel is checked between words.
using TRecogniseFunction = TRecognitionStatus (*)(const TRecognitionRequest& request,
                                                  const std::function<void(int)>& progress,
                                                  const std::atomic_bool& cancel, QList<TRecognisedWord>& words);
inline constexpr const char* RecogniseSymbol = "MxRecogniseTextV1";

} // namespace mx
