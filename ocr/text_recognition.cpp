#include "ocr/text_recognition.h"

#include "ocr/ocr_module.h"
#include "ocr/readable_words.h"
#include "platform/background_job.h"
#include "platform/module_loader.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace mx {

namespace {

// Tesseract reads best at about 300 dpi: scans far off it are scaled
// there, and the words' boxes back.
constexpr double WorkDpi = 300;
constexpr double ScaleBeyond = 0.2;
// The largest page worked on: A3 at 300 dpi is 17 million pixels.
constexpr double MaxWorkPixels = 40e6;
// A resolution no scan has: the page is read as it is.
constexpr double MinPlausibleDpi = 30, MaxPlausibleDpi = 4800;

const QString CannotRead = QStringLiteral("Marbelux kann den Text des Scans nicht lesen: %1");

TRecogniseFunction Recognise() {
    const auto recognise =
        reinterpret_cast<TRecogniseFunction>(ResolveModuleSymbol(QStringLiteral(MARBELUX_OCR_MODULE), RecogniseSymbol));
    if (!recognise)
        throw EOcr(CannotRead.arg(
            QStringLiteral("die Texterkennung (%1) ist nicht installiert").arg(QStringLiteral(MARBELUX_OCR_MODULE))));
    return recognise;
}

QString NoLanguageData() {
    return CannotRead.arg(QStringLiteral("die Sprachdaten der Texterkennung (Pakete tesseract-ocr-deu und "
                                         "tesseract-ocr-eng) sind nicht installiert"));
}

// The factor from the page's pixels to those Tesseract reads.
double WorkScale(const QSize& size, double dpi) {
    double scale = 1;
    if (dpi >= MinPlausibleDpi && dpi <= MaxPlausibleDpi && std::abs(dpi / WorkDpi - 1) > ScaleBeyond)
        scale = WorkDpi / dpi;
    const double pixels = double(size.width()) * size.height() * scale * scale;
    if (pixels > MaxWorkPixels) scale *= std::sqrt(MaxWorkPixels / pixels);
    return scale;
}

} // namespace

QString NoTextMessage() { return QStringLiteral("Kein Text gefunden"); }

QString TessdataFolder() {
    QStringList folders;
    if (const QString prefix = qEnvironmentVariable("TESSDATA_PREFIX"); !prefix.isEmpty())
        folders << prefix << QDir(prefix).filePath(QStringLiteral("tessdata"));
    folders << QStringLiteral("/usr/share/tesseract-ocr/5/tessdata")
            << QStringLiteral("/usr/share/tesseract-ocr/4.00/tessdata");
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (QFileInfo(dir.filePath(QStringLiteral("deu.traineddata"))).isFile() &&
            QFileInfo(dir.filePath(QStringLiteral("eng.traineddata"))).isFile())
            return dir.path();
    }
    return {};
}

TTextWords RecogniseText(const QImage& page, double dpi, TJobControl& control) {
    const TRecogniseFunction recognise = Recognise();
    TRecognitionRequest request;
    request.DataPath = TessdataFolder();
    if (request.DataPath.isEmpty()) throw EOcr(NoLanguageData());
    request.Languages = QStringLiteral("deu+eng");
    if (page.isNull()) throw EOcr(NoTextMessage());
    const double scale = WorkScale(page.size(), dpi);
    request.Image = page.convertToFormat(QImage::Format_Grayscale8);
    if (scale != 1) {
        const QSize size(std::max(1, qRound(page.width() * scale)), std::max(1, qRound(page.height() * scale)));
        request.Image = request.Image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_Grayscale8);
    }
    request.Dpi = qRound(dpi >= MinPlausibleDpi && dpi <= MaxPlausibleDpi ? dpi * scale : WorkDpi);
    if (control.CancelRequested()) return {};
    QList<TRecognisedWord> recognised;
    switch (recognise(
        request, [&control](int percent) { control.Progress(percent); }, control.CancelFlag(), recognised)) {
    case TRecognitionStatus::Done: break;
    case TRecognitionStatus::Cancelled: return {};
    case TRecognitionStatus::NoLanguageData: throw EOcr(NoLanguageData());
    case TRecognitionStatus::Failed: throw EOcr(QStringLiteral("Die Texterkennung ist fehlgeschlagen"));
    }
    TTextWords words = ReadableWords(recognised);
    if (words.isEmpty()) throw EOcr(NoTextMessage());
    for (TTextWord& w : words)
        w.Box = QRectF(w.Box.x() / scale, w.Box.y() / scale, w.Box.width() / scale, w.Box.height() / scale);
    control.Progress(100);
    return words;
}

} // namespace mx
