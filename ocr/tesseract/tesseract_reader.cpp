// Reading the words of a scan with Tesseract. Built as a module of its own
// that the program opens only when a scan is first read: linking Tesseract
// and Leptonica into the program would slow down every start.
#include "ocr/ocr_module.h"

#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <QtGlobal>
#include <memory>

#ifdef _OPENMP
#include <omp.h>
#endif

namespace mx {

namespace {

// Tesseract's progress and cancel hooks, with what they report to.
struct TMonitor {
    tesseract::ETEXT_DESC Desc;
    const std::function<void(int)>* Progress = nullptr;
    const std::atomic_bool* Cancel = nullptr;
};

// Called between words, after Tesseract has updated its progress.
bool CancelRequested(void* data, int) {
    const auto* monitor = static_cast<TMonitor*>(data);
    if (*monitor->Progress) (*monitor->Progress)(monitor->Desc.progress);
    return monitor->Cancel->load();
}

QList<TRecognisedWord> Words(tesseract::TessBaseAPI& api) {
    QList<TRecognisedWord> words;
    const std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
    if (!it || it->Empty(tesseract::RIL_WORD)) return words;
    int line = -1, block = -1;
    do {
        if (it->IsAtBeginningOf(tesseract::RIL_BLOCK)) ++block;
        if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE)) ++line;
        const std::unique_ptr<char[]> text(it->GetUTF8Text(tesseract::RIL_WORD));
        int left = 0, top = 0, right = 0, bottom = 0;
        if (!text || !it->BoundingBox(tesseract::RIL_WORD, &left, &top, &right, &bottom)) continue;
        // Tesseract's right and bottom lie just outside the word.
        words.append({QString::fromUtf8(text.get()), QRect(left, top, right - left, bottom - top), std::max(line, 0),
                      std::max(block, 0), it->Confidence(tesseract::RIL_WORD)});
    } while (it->Next(tesseract::RIL_WORD));
    return words;
}

} // namespace

} // namespace mx

extern "C" Q_DECL_EXPORT mx::TRecognitionStatus MxRecogniseTextV1(const mx::TRecognitionRequest& request,
                                                                  const std::function<void(int)>& progress,
                                                                  const std::atomic_bool& cancel,
                                                                  QList<mx::TRecognisedWord>& words) {
    using mx::TRecognitionStatus;
    const QImage& image = request.Image;
    if (image.isNull() || image.format() != QImage::Format_Grayscale8) return TRecognitionStatus::Failed;
#ifdef _OPENMP
    // Tesseract asks for four threads in its inner loops; on a machine of
    // two cores they contend with each other and with the window for far
    // longer than one thread takes. One, on this thread only.
    omp_set_max_active_levels(0);
#endif
    tesseract::TessBaseAPI api;
    if (api.Init(request.DataPath.toUtf8().constData(), request.Languages.toUtf8().constData(),
                 tesseract::OEM_LSTM_ONLY) != 0)
        return TRecognitionStatus::NoLanguageData;
    // Its remarks ("Empty page!!") are no business of the program's output.
    api.SetVariable("debug_file", "/dev/null");
    api.SetPageSegMode(tesseract::PSM_AUTO);
    api.SetImage(image.constBits(), image.width(), image.height(), 1, int(image.bytesPerLine()));
    api.SetSourceResolution(request.Dpi);
    mx::TMonitor monitor;
    monitor.Progress = &progress;
    monitor.Cancel = &cancel;
    monitor.Desc.cancel = mx::CancelRequested;
    monitor.Desc.cancel_this = &monitor;
    const int failed = api.Recognize(&monitor.Desc);
    if (cancel.load()) return TRecognitionStatus::Cancelled;
    if (failed) return TRecognitionStatus::Failed;
    words = mx::Words(api);
    return TRecognitionStatus::Done;
}
