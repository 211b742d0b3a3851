#pragma once
// The application's current printer: capabilities in device pixels, one
// document at a time with a title and pages, a page canvas whose origin is
// the top-left corner of the printable area, and the setup dialog.
#include <QString>
#include <functional>
#include <memory>

namespace mx {

class TCanvas;

// Capability indexes for GetDeviceCaps (Windows values).
enum : int {
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
    PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112,
    PHYSICALOFFSETY = 113,
};

class TPrinter {
public:
    TPrinter();
    virtual ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Resolution in dots per inch, paper size and printable-area offsets in
    // device pixels; 0 for an unknown index. Throws EPrinter when no
    // usable printer can be had. Cheap: may be read on every redraw.
    virtual int GetDeviceCaps(int index) = 0;
    // Asks the print system again (it may have come back or gone away) and
    // drops the cached capabilities. Called at the start of every job, before
    // its capabilities are read; no effect while a document is open.
    virtual void Refresh() {}
    // The queue's name ("PDF" for file output), for per-printer settings.
    virtual QString Name() = 0;

    // Starts asking the print system on a thread of its own, so that one
    // that is slow to answer holds up nothing at start-up. Until it has
    // answered Ready() is false; whatever needs the answer before then
    // waits for it. OnReady runs on the window's thread once it has come.
    virtual void AskInBackground() {}
    virtual bool Ready() { return true; }
    std::function<void()> OnReady;

    const QString& Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }

    // Opens a document and its first page. Returns false when the user
    // cancelled the choice of where to print: then nothing is printed and
    // nothing needs to be shown. Throws EPrinter "Das Drucken ist im Gang"
    // while another document is open, or when the printer cannot take it.
    bool BeginDoc();
    // Ends the current page and begins the next one.
    void NewPage();
    // Ends the last page and sends the document.
    void EndDoc();
    // Drops the open document; nothing of it is sent. No effect when idle.
    void Abort();
    bool Printing() const { return printing_; }

    // The current page's canvas in device pixels, valid until the next
    // NewPage or the end of the document; every page starts with the
    // canvas's default drawing state.
    TCanvas& Canvas();

    // The printer setup dialog (printer, paper size, orientation); true when
    // confirmed. The capabilities reflect the choice afterwards.
    bool Setup();

    // Called each time a page has gone to the printer, so the window stays
    // responsive during a job; processes pending events by default.
    std::function<void()> AbortProc;

protected:
    // Backend steps. A step that throws after the document was opened makes
    // the printer drop the document (DiscardDocument) before the error
    // travels on.
    virtual bool StartDocument() = 0;
    virtual void StartNextPage() = 0;
    virtual void FinishDocument() = 0;
    virtual void DiscardDocument() noexcept = 0;
    virtual TCanvas& PageCanvas() = 0;
    virtual bool RunSetup() = 0;

private:
    void PageDone();

    QString title_;
    bool printing_ = false;
};

// Aborts the printer's open document when it leaves scope unless the
// document was ended: a job that fails part-way never sends a half-made
// document. Create it right after a successful BeginDoc.
class TDocumentGuard {
public:
    explicit TDocumentGuard(TPrinter& printer) : printer_(printer) {}
    ~TDocumentGuard() { printer_.Abort(); }
    TDocumentGuard(const TDocumentGuard&) = delete;
    TDocumentGuard& operator=(const TDocumentGuard&) = delete;

private:
    TPrinter& printer_;
};

// The application's current printer; the system's printer unless replaced.
TPrinter* Printer();
// Replaces the current printer (tests); returns the previous one.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer);

} // namespace mx
