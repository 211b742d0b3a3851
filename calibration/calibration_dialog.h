#pragma once
// The modal "Kalibrieren" dialog for one printer: prints the calibration
// page of either side, takes the measured positions of its marks 1 and 2
// and stores the correction worked out from them; or measures the page in
// a scan (from the scanner or a file, off the window's thread), shows the
// result and stores it when the user agrees. Run it through
// Application()->ExecDialog.
#include "calibration/axis_fit.h"
#include "calibration/calibration_page.h"
#include "print/correction.h"
#include "print/overprint_rect.h"
#include "scan/scanner_module.h"

#include <QDialog>
#include <QString>
#include <array>

class QLabel;
class QPushButton;

namespace mx {

class TCalibrationStore;
class TNumSpinEdit;
class TPrinter;
class TSheetScanRow;
struct TScanCalibration;

class TCalibrationDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the printer's geometry for the crosses' nominal positions;
    // raises EPrinter like the printer does, before anything is shown.
    TCalibrationDialog(TPrinter& printer, const QString& printerName, TCalibrationStore& store,
                       QWidget* parent = nullptr);
    ~TCalibrationDialog() override;

    // The field for a cross (0 or 1) and an axis of a side.
    TNumSpinEdit* Field(bool back, int cross, TAxis axis) const;
    QPushButton* PrintButton(bool back) const { return sides_[back].print; }
    // "Aus Scan kalibrieren...": scans the side's printed page.
    QPushButton* ScanButton(bool back) const { return sides_[back].scan; }
    // "Scan-Datei öffnen...": measures the page in a scan file.
    QPushButton* OpenScanButton(bool back) const { return sides_[back].open; }
    // Shows the scanning and measuring while they run.
    TSheetScanRow* ScanRow() const { return row_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* ClearButton() const { return clear_; }
    QString StoredText(bool back) const;

    // Works out, checks and stores the filled-in sides; the dialog stays
    // open with a message when something is missing or out of range.
    void OkClick();
    // Asks, then removes the printer's calibration and closes the dialog.
    void ClearClick();
    void PrintClick(bool back);
    void ScanClick(bool back);
    void OpenScanClick(bool back);

    // The scanner, resolution and further settings to propose (the last
    // ones used); the area is always the printer's sheet.
    void ProposeScan(const TScanRequest& request);
    // The settings last scanned with, to propose the next time.
    TScanRequest LastScanRequest() const;

    // Escape and "Abbrechen" stop a scan or measurement that runs before
    // they close the dialog.
    void reject() override;

private:
    struct TSide {
        std::array<TCalibrationCross, 2> crosses;
        std::array<TNumSpinEdit*, 4> fields{}; // x1, y1, x2, y2
        QPushButton* print = nullptr;
        QPushButton* scan = nullptr;
        QPushButton* open = nullptr;
        QLabel* stored = nullptr;
    };

    QWidget* BuildSide(bool back);
    void ShowStored();
    // The side's correction from its fields; nothing when all are empty.
    // Raises Exception with the message to show.
    std::optional<TSideCorrection> Measured(bool back);
    void Warn(const QString& text);
    // Replaces the given sides' corrections; false (the error shown) when
    // the settings file cannot be written.
    bool Store(const std::array<std::optional<TSideCorrection>, 2>& sides);
    // Measures the side's page in the scan the row gets.
    void MeasureScan(bool back, bool fromScanner);
    // Shows the measurement and stores it when the user agrees.
    void OfferScanResult(const TScanCalibration& result);
    void ScanBusy(bool busy);

    TPrinter& printer_;
    QString printerName_;
    TCalibrationStore& store_;
    PrinterGeometry geometry_;
    TScanRequest scanProposal_;
    std::array<TSide, 2> sides_;
    TSheetScanRow* row_ = nullptr;
    // A side was stored from a scan: closing keeps it.
    bool storedFromScan_ = false;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* clear_ = nullptr;
};

} // namespace mx
