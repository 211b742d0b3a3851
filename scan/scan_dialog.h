#pragma once
// The "Scannen" dialog: the scanners SANE finds (looked for on a thread of
// its own, again with "Aktualisieren"), the resolution, grey or colour,
// and the area it will scan: the sheet's size from the scanner's corner.
// It only collects the choice; the caller scans (TScanWorker). Run it
// through Application()->ExecDialog.
#include "scan/scanner_module.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace mx {

class TScannerSearch;

class TScanDialog : public QDialog {
    Q_OBJECT
public:
    // initial: the scanner, resolution and colour to propose (the last
    // ones used, or the defaults) and the area to scan (the sheet's size).
    explicit TScanDialog(const TScanRequest& initial, QWidget* parent = nullptr);
    ~TScanDialog() override;

    // The choice; meaningful once the dialog has been accepted.
    TScanRequest Request() const;

    // Looks for scanners again, SANE started anew.
    void Refresh();
    bool Searching() const { return search_ != nullptr; }

    QComboBox* ScannerBox() const { return scanners_; }
    QPushButton* RefreshButton() const { return refresh_; }
    QComboBox* ResolutionBox() const { return resolution_; }
    QRadioButton* GreyButton() const { return grey_; }
    QRadioButton* ColourButton() const { return colour_; }
    QPushButton* ScanButton() const { return scan_; }
    QPushButton* CancelButton() const { return cancel_; }
    // What the search found wanting: no scanner, no scanning support.
    QLabel* StatusLabel() const { return status_; }
    QLabel* AreaLabel() const { return area_; }

private:
    void Search(bool refresh);
    void ShowScanners(const QList<TScannerInfo>& scanners);
    void SearchEnded(const QString& status);

    TScanRequest initial_;
    TScannerSearch* search_ = nullptr;
    QComboBox* scanners_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QComboBox* resolution_ = nullptr;
    QRadioButton* grey_ = nullptr;
    QRadioButton* colour_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* area_ = nullptr;
    QPushButton* scan_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace mx
