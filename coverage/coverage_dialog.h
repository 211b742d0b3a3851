#pragma once
// The "Bedeckung prüfen" dialog: a scan of the printed sheet, from the
// scanner or a file, is checked against the areas the job printed, and
// its text is read to see whether any is still readable inside an area
// (left out, with a line saying so, when the text recognition is not
// installed). It shows the scan with the areas drawn over it and one line
// or two per area. Every step runs off the window's thread with progress
// and a button that stops it. Run it through Application()->ExecDialog.
#include "calibration/scan_image.h"
#include "coverage/coverage_check.h"
#include "scan/scanner_module.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace mx {

class TCoverageView;
class TSheetScanRow;

class TCoverageDialog : public QDialog {
    Q_OBJECT
public:
    // job: the sheet, the side, the areas and the fill as printed; proposal:
    // the scanner settings to propose (the area is the sheet's size).
    TCoverageDialog(const TCoverageJob& job, const TScanRequest& proposal, QWidget* parent = nullptr);
    ~TCoverageDialog() override;

    QPushButton* ScanButton() const { return scan_; }
    QPushButton* OpenButton() const { return open_; }
    // Whether the scan's text is read after the check.
    QCheckBox* ReadTextBox() const { return readText_; }
    QPushButton* CloseButton() const { return close_; }
    TSheetScanRow* ScanRow() const { return row_; }
    TCoverageView* View() const { return view_; }
    // What the dialog says of the last scan: DescribeCoverage's lines, then
    // what the text recognition found or why it did not look.
    QStringList ResultLines() const { return lines_; }

    void ScanClick();
    void OpenClick();
    // The settings last scanned with, to propose the next time.
    TScanRequest LastScanRequest() const;

    // Escape and "Schließen" stop a step that runs before they close.
    void reject() override;

private:
    void Check(bool fromScanner);
    void Checked(const TScanImage& scan, const TCoverageReport& report);
    void ReadText();
    void TextRead(const TTextWords& words);
    void TextNotRead(const QString& message);
    void ShowResult();
    void Busy(bool busy);

    TCoverageJob job_;
    TScanRequest proposal_;
    TScanImage scanned_;
    TCoverageReport report_;
    QString textLine_;
    QStringList lines_;
    QPushButton* scan_ = nullptr;
    QPushButton* open_ = nullptr;
    QCheckBox* readText_ = nullptr;
    QPushButton* close_ = nullptr;
    TSheetScanRow* row_ = nullptr;
    TCoverageView* view_ = nullptr;
    QLabel* result_ = nullptr;
};

} // namespace mx
