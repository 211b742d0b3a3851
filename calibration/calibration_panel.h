#pragma once
// The third tab's test print and calibration: a "Testdruck" button with the
// side to print, a "Kalibrieren" button, and one line saying which
// correction is in force for the current printer. The main window owns it
// and asks it for the corrected rectangle of every job.
#include "platform/canvas.h"
#include "scan/scanner_module.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class QBoxLayout;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace mx {

struct Area;
class TCalibrationStore;

class TCalibrationPanel : public QObject {
    Q_OBJECT
public:
    // Puts its buttons into the free part of the strip and its line into
    // the layout below the warning; areas gives the areas a job fills now,
    // the window's own first.
    TCalibrationPanel(QWidget* strip, QBoxLayout* lineHost, const QString& settingsFile,
                      std::function<QList<Area>()> areas);
    ~TCalibrationPanel() override;

    // The corrections per printer (one store for the run, so that damage
    // is reported once).
    TCalibrationStore& Store() { return *store_; }
    // Brings the line up to date (another printer, another calibration).
    void ShowCorrection();

    QPushButton* TestPrintButton() const { return testPrint_; }
    QComboBox* TestSideBox() const { return testSide_; }
    QPushButton* CalibrateButton() const { return calibrate_; }
    QLabel* CorrectionLine() const { return line_; }

    void TestPrintClick();
    void CalibrateClick();

private:
    std::unique_ptr<TCalibrationStore> store_;
    std::function<QList<Area>()> areas_;
    // The scanner settings last used in the dialog, for the run.
    TScanRequest lastScan_;
    QPushButton* testPrint_ = nullptr;
    QComboBox* testSide_ = nullptr;
    QPushButton* calibrate_ = nullptr;
    QLabel* line_ = nullptr;
};

} // namespace mx
