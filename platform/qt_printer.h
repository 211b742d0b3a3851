#pragma once
// The system's printer over QPrinter: the default CUPS queue at the queue's
// own resolution, or Qt's PDF output at 600 dpi when the machine has no
// print system or no queue. A print system that is configured but does not
// answer is never replaced silently: a document then asks whether to save
// a PDF file instead. The print system is asked again at every Refresh
// (the start of every job) and every setup, so one that comes back is used
// without a restart; the chosen queue and its settings last for the run.
#include "platform/cups_queue.h"
#include "platform/printer.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPrinter;
class QTemporaryFile;

namespace mx {

class TQtPrinter : public TPrinter {
public:
    enum class TOutput {
        System, // the print system's default queue, as described above
        Pdf,    // always a PDF file
    };

    // How the print system is asked; tests may stand in for it.
    using TProbe = std::function<TPrintSystem(QString* server)>;

    explicit TQtPrinter(TOutput output = TOutput::System, TProbe probe = ProbePrintSystem);

    ~TQtPrinter() override;
    int GetDeviceCaps(int index) override;
    void Refresh() override;
    QString Name() override;
    void AskInBackground() override;
    bool Ready() override;

    // The device documents go to now (made on first use); throws like
    // GetDeviceCaps.
    QPrinter& Device();
    bool WritesPdf();

    // Resolution of PDF output, and of a queue that reports none.
    static constexpr int DefaultDpi = 600;

protected:
    bool StartDocument() override;
    void StartNextPage() override;
    void FinishDocument() override;
    void DiscardDocument() noexcept override;
    TCanvas& PageCanvas() override;
    bool RunSetup() override;

private:
    struct TCaps {
        int dpiX, dpiY, width, height, offsetX, offsetY;
        double rowAlignment; // device pixels; see qt_printer.cpp
    };

    struct TInquiry;
    // Takes the background inquiry's answer, waiting for it if need be.
    void TakeInquiry();
    void RefreshCaps();
    // The page canvas's origin at the printable area's corner.
    void PlacePageOrigin();
    void ClosePainter() noexcept;

    TOutput output_;
    TProbe probe_;
    // The queue, or PDF output when the machine has no print system or no queue.
    std::unique_ptr<QPrinter> printer_;
    // PDF output while the configured print system does not answer; the
    // queue's own settings wait in printer_ for its return.
    std::unique_ptr<QPrinter> fallback_;
    QString server_;
    std::optional<TCaps> caps_;
    std::shared_ptr<TInquiry> inquiry_;
    // Lets an answer that arrives after the printer is gone find nobody.
    std::shared_ptr<int> alive_ = std::make_shared<int>();
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TCanvas> canvas_;
    // Where the open document goes: the chosen PDF file, or for a queue
    // the spool file that is handed over only when the document is complete.
    QString pdfPath_;
    std::unique_ptr<QTemporaryFile> spool_;
};

} // namespace mx
