#pragma once
// Reading a scan's words on a thread of its own (see
// platform/background_job.h for Progress, Failed, Cancelled and Cancel).
// Start() once; the outcome arrives as a signal on the thread that made
// the worker. "Kein Text gefunden" comes as Failed.
#include "platform/background_job.h"
#include "platform/text_word.h"

#include <QImage>

namespace mx {

class TOcrWorker : public TBackgroundJob {
    Q_OBJECT
public:
    // dpi: the page's resolution (see RecogniseText).
    TOcrWorker(const QImage& page, double dpi, QObject* parent = nullptr);
    void Start();

signals:
    // At least one word; boxes in the page's pixels, in reading order.
    void Finished(const mx::TTextWords& words);

private:
    QImage page_;
    double dpi_;
};

} // namespace mx
