// Reading the words of a scan with Tesseract. Built as a module of its own
// that the program opens only when a scan is first read: linking Tesseract
// and Leptonica into the program would slow down every start.
#include "ocr/ocr_module.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <QTransform>
#include <QtGlobal>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

#ifdef _OPENMP
#include <omp.h>
#endif

namespace mx {

namespace {

// A sheet lying askew on the glass is turned upright before it is read:
// Tesseract's line finding loses whole lines at half a degree. Leptonica's
// rule for when the skew it finds is real and worth turning.
constexpr float MinSkewConfidence = 3;
constexpr float MinSkewDegrees = 0.1f;

struct TPixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using TPix = std::unique_ptr<Pix, TPixDeleter>;

TPix ToPix(const QImage& grey) {
    TPix pix(pixCreate(grey.width(), grey.height(), 8));
    if (!pix) return pix;
    const int wordsPerLine = pixGetWpl(pix.get());
    l_uint32* data = pixGetData(pix.get());
    for (int y = 0; y < grey.height(); ++y) std::memcpy(data + y * wordsPerLine, grey.constScanLine(y), grey.width());
    // Leptonica keeps the bytes of a 32-bit word in big-endian order.
    pixEndianByteSwap(pix.get());
    return pix;
}

// The angle (degrees, clockwise) that turns the page upright; 0 when it is
// upright or its lines show no clear direction.
float SkewOf(Pix* page) {
    const TPix binary(pixConvertTo1(page, 128));
    l_float32 angle = 0, confidence = 0;
    if (!binary || pixFindSkew(binary.get(), &angle, &confidence) != 0) return 0;
    return confidence >= MinSkewConfidence && std::abs(angle) >= MinSkewDegrees ? angle : 0;
}

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
    const mx::TPix page = mx::ToPix(image);
    if (!page) return TRecognitionStatus::Failed;
    const float skew = mx::SkewOf(page.get());
    // Turned about the centre, the size kept.
    const mx::TPix upright(
        skew ? pixRotate(page.get(), skew * std::numbers::pi_v<float> / 180, L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, 0, 0)
             : pixClone(page.get()));
    if (!upright) return TRecognitionStatus::Failed;
    tesseract::TessBaseAPI api;
    if (api.Init(request.DataPath.toUtf8().constData(), request.Languages.toUtf8().constData(),
                 tesseract::OEM_LSTM_ONLY) != 0)
        return TRecognitionStatus::NoLanguageData;
    // Its remarks ("Empty page!!") are no business of the program's output.
    api.SetVariable("debug_file", "/dev/null");
    api.SetPageSegMode(tesseract::PSM_AUTO);
    api.SetImage(upright.get());
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
    // The boxes back onto the page as it was given.
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    const QTransform back =
        QTransform().translate(centre.x(), centre.y()).rotate(-skew).translate(-centre.x(), -centre.y());
    for (mx::TRecognisedWord& w : words) w.Box = back.mapRect(w.Box).intersected(image.rect());
    return TRecognitionStatus::Done;
}
