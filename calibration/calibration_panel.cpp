#include "calibration/calibration_panel.h"

#include "calibration/calibration_dialog.h"
#include "calibration/calibration_text.h"
#include "calibration/test_page.h"
#include "controls/placed_controls.h"
#include "platform/application.h"
#include "platform/exception.h"
#include "platform/printer.h"
#include "print/calibration_store.h"
#include "print/correction.h"
#include "print/overprint_rect.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace mx {

TCalibrationPanel::TCalibrationPanel(QWidget* strip, QBoxLayout* lineHost, const QString& settingsFile,
                                     std::function<QList<Area>()> areas)
    : QObject(strip), store_(std::make_unique<TCalibrationStore>(settingsFile)), areas_(std::move(areas)) {
    // Right of the print buttons, where the strip is free.
    testPrint_ = PlaceButton(strip, QStringLiteral("TestPrintBtn"), QStringLiteral("&Testdruck"), {216, 8, 84, 25},
                             QStringLiteral("Druckt den Umriss des gewählten Bereichs mit Maßstab auf ein leeres Blatt "
                                            "oder eine Kopie, zum Prüfen vor dem Vernichten"),
                             [this] { TestPrintClick(); });
    testSide_ = PlaceControl<QComboBox>(strip, QStringLiteral("TestSideBox"), {304, 8, 90, 25},
                                        QStringLiteral("Welche Seite der Testdruck zeigt"));
    testSide_->addItems({QStringLiteral("Vorderseite"), QStringLiteral("Rückseite")});
    calibrate_ =
        PlaceButton(strip, QStringLiteral("CalibrateBtn"), QStringLiteral("&Kalibrieren..."), {216, 48, 178, 25},
                    QStringLiteral("Den Drucker vermessen, damit der Bereich genau dort landet, wo die "
                                   "Millimeter es sagen"),
                    [this] { CalibrateClick(); });
    line_ = new QLabel(lineHost->parentWidget());
    line_->setObjectName(QStringLiteral("CorrectionLine"));
    lineHost->insertWidget(lineHost->count() - 1, line_);
}

TCalibrationPanel::~TCalibrationPanel() = default;

void TCalibrationPanel::ShowCorrection() {
    QString text;
    // The printer's name is known once the print system has answered.
    if (!Printer()->Ready()) return;
    try {
        text = DescribeCalibration(store_->Load(Printer()->Name()));
    } catch (const EPrinter&) {
        // Without a printer there is nothing to correct; the preview says why.
        text = DescribeCalibration({});
    }
    line_->setText(text);
}

void TCalibrationPanel::TestPrintClick() {
    const bool back = testSide_->currentIndex() == 1;
    const QString question =
        back
            ? QStringLiteral("Legen Sie bitte ein leeres Blatt oder eine Kopie des Dokuments so in den Drucker ein wie "
                             "zum Vernichten einer Rückseite: umgedreht, damit die Rückseite bedruckt wird.\n\n"
                             "Der Testdruck zeigt den Umriss des gewählten Bereichs gespiegelt dort, wo die "
                             "Vernichtung der Rückseite ihn überdrucken würde.")
            : QStringLiteral("Legen Sie bitte ein leeres Blatt oder eine Kopie des Dokuments in den Drucker ein.\n\n"
                             "Der Testdruck zeigt den Umriss des gewählten Bereichs dort, wo die Vernichtung ihn "
                             "überdrucken würde.");
    if (Application()->MessageBox(question, QStringLiteral("Testdruck"), MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return;
    TPrinter* printer = Printer();
    printer->Refresh();
    PrintTestPage(*printer, areas_(), back, store_->Load(printer->Name()));
}

void TCalibrationPanel::CalibrateClick() {
    TPrinter* printer = Printer();
    printer->Refresh();
    TCalibrationDialog dialog(*printer, printer->Name(), *store_, line_->window());
    dialog.ProposeScan(lastScan_);
    Application()->ExecDialog(dialog);
    lastScan_ = dialog.LastScanRequest();
    ShowCorrection();
}

} // namespace mx
