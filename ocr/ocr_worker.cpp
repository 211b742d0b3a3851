#include "ocr/ocr_worker.h"

#include "ocr/text_recognition.h"

#include <memory>

namespace mx {

TOcrWorker::TOcrWorker(const QImage& page, double dpi, QObject* parent)
    : TBackgroundJob(parent), page_(page), dpi_(dpi) {}

void TOcrWorker::Start() {
    auto words = std::make_shared<TTextWords>();
    // The page is shared, not copied: QImage copies on write.
    Launch([page = page_, dpi = dpi_, words](TJobControl& control) { *words = RecogniseText(page, dpi, control); },
           [this, words] { emit Finished(*words); });
}

} // namespace mx
