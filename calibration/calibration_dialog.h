#pragma once
// The modal "Kalibrieren" dialog for one printer: prints the calibration
// page of either side, takes the measured positions of its two crosses and
// stores the correction worked out from them. Run it through
// Application()->ExecDialog.
#include "calibration/axis_fit.h"
#include "calibration/calibration_page.h"
#include "print/correction.h"

#include <QDialog>
#include <QString>
#include <array>

class QLabel;
class QPushButton;

namespace mx {

class TCalibrationStore;
class TNumSpinEdit;
class TPrinter;

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

private:
    struct TSide {
        std::array<TCalibrationCross, 2> crosses;
        std::array<TNumSpinEdit*, 4> fields{}; // x1, y1, x2, y2
        QPushButton* print = nullptr;
        QLabel* stored = nullptr;
    };

    QWidget* BuildSide(bool back);
    void ShowStored();
    // The side's correction from its fields; nothing when all are empty.
    // Raises Exception with the message to show.
    std::optional<TSideCorrection> Measured(bool back);
    void Warn(const QString& text);

    TPrinter& printer_;
    QString printerName_;
    TCalibrationStore& store_;
    std::array<TSide, 2> sides_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* clear_ = nullptr;
};

} // namespace mx
