#pragma once
// The system's printer over QPrinter: the default CUPS queue, or Qt's PDF
// output when the system has no printer at all. The QPrinter is made on
// first use and kept for the whole run, so the setup dialog's choices last.
#include "platform/printer.h"

#include <QString>
#include <memory>
#include <optional>

class QPainter;
class QPrinter;
class QTemporaryFile;

namespace mx {

class TQtPrinter : public TPrinter {
public:
    enum class TOutput {
        System, // the default queue; PDF only when the system has no printer
        Pdf,    // always a PDF file
    };

    explicit TQtPrinter(TOutput output = TOutput::System);
    ~TQtPrinter() override;

    int GetDeviceCaps(int index) override;

    // The underlying printer (made on first use); throws like GetDeviceCaps.
    QPrinter& Device();
    bool WritesPdf();

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
    };

    std::unique_ptr<QPrinter> makeDevice(bool forSetup) const;
    void refreshCaps();
    void closePainter() noexcept;

    TOutput output_;
    std::unique_ptr<QPrinter> printer_;
    std::optional<TCaps> caps_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TCanvas> canvas_;
    // Where the open document goes: the chosen PDF file, or for a queue
    // the spool file that is handed over only when the document is complete.
    QString pdfPath_;
    std::unique_ptr<QTemporaryFile> spool_;
};

} // namespace mx
