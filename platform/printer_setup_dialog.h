#pragma once
// The printer setup dialog: the printer (every queue of the print system),
// the paper sizes that printer offers and the orientation; for PDF output
// only paper size and orientation. It shows a printer's settings and
// writes the choice back only when asked to, so cancelling changes nothing.
#include <QDialog>
#include <QList>
#include <QPageSize>

class QComboBox;
class QPrinter;
class QRadioButton;

namespace mx {

class TPrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPrinterSetupDialog(const QPrinter& printer, QWidget* parent = nullptr);

    // Gives the printer the chosen queue, paper size and orientation.
    void Apply(QPrinter& printer) const;

    QComboBox* PrinterBox() const { return printerBox_; } // nullptr for PDF output
    QComboBox* PaperBox() const { return paperBox_; }
    QRadioButton* PortraitButton() const { return portrait_; }
    QRadioButton* LandscapeButton() const { return landscape_; }

private:
    // Fills the paper list for the chosen printer, keeping the size chosen
    // so far where that printer has it, else its default size.
    void FillPaperSizes(const QPageSize& wanted);

    QComboBox* printerBox_ = nullptr;
    QComboBox* paperBox_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    QList<QPageSize> sizes_;
};

} // namespace mx
