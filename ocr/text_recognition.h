#pragma once
// Reading the words of a scanned page, through the text recognition module
// that is loaded on first use (from the program's folder or the installed
// library folder; for the tests, $MARBELUX_MODULE_DIR). A page takes
// seconds: call it from a background job (TOcrWorker), never on the
// window's thread.
#include "platform/exception.h"
#include "platform/text_word.h"

class QImage;

namespace mx {

class TJobControl;

// Text that cannot be read, with a German message for the user.
class EOcr : public Exception {
public:
    using Exception::Exception;
};

// The words of page, whose resolution is dpi (for a scan of unknown
// resolution: its pixels per inch on the sheet), with boxes in the page's
// pixels, in reading order; what cannot be text is left out. Raises EOcr
// with "Kein Text gefunden" when nothing on the page can be read (blank,
// upside down, noise), and when recognition is not installed. Gives no
// words when cancelled.
TTextWords RecogniseText(const QImage& page, double dpi, TJobControl& control);

// "Kein Text gefunden": the message RecogniseText raises for a page on
// which nothing can be read, which is no fault of the program's.
QString NoTextMessage();

// The folder holding Tesseract's German and English data: $TESSDATA_PREFIX
// (the folder or its tessdata/), else where Debian puts it; empty when
// none has both.
QString TessdataFolder();

} // namespace mx
