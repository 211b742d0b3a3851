#include "calibration/calibration_dialog.h"

#include "calibration/calibration_text.h"
#include "calibration/scan_calibration.h"
#include "calibration/sheet_scan_row.h"
#include "controls/num_spin_edit.h"
#include "platform/application.h"
#include "platform/exception.h"
#include "platform/fonts.h"
#include "platform/printer.h"
#include "print/calibration_store.h"
#include "print/overprint_rect.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <limits>
#include <memory>

namespace mx {

namespace {

// An entry the user has to look at again, with the field to go to.
class EEntry : public Exception {
public:
    EEntry(const QString& message, TNumSpinEdit* field) : Exception(message), Field(field) {}
    TNumSpinEdit* Field;
};

QString SideName(bool back) { return back ? "Rückseite" : "Vorderseite"; }

TNumSpinEdit* MakeField(QWidget* parent, const QString& name) {
    auto* field = new TNumSpinEdit(parent);
    field->setObjectName(name);
    field->setMinValue(0);
    field->setMaxValue(2000);
    field->setValueType(vtFloat);
    field->setDecimal(1);
    field->setIncrement(0.1);
    field->setAlignment(Qt::AlignRight);
    field->clear();
    field->setFixedWidth(80);
    return field;
}

QPushButton* MakeButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TCalibrationDialog::TCalibrationDialog(TPrinter& printer, const QString& printerName, TCalibrationStore& store,
                                       QWidget* parent)
    : QDialog(parent), printer_(printer), printerName_(printerName), store_(store),
      geometry_(ReadPrinterGeometry(printer)) {
    for (const bool back : {false, true}) sides_[back].crosses = CalibrationCrosses(geometry_, back);
    // The calibration page is measured in grey; the scan covers the sheet.
    scanProposal_.AreaMm = {DeviceToMm(geometry_.PaperWidth, geometry_.Dpi),
                            DeviceToMm(geometry_.PaperHeight, geometry_.Dpi)};

    setWindowTitle("Kalibrieren");
    UseClassicFormLook(*this);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QString("<b>Drucker: %1</b><br>Drucken Sie die Kalibrierseite, messen Sie die Mitte "
                                     "der Marken 1 und 2 nach und tragen Sie die Werte in Millimetern ein – oder "
                                     "lassen Sie die Seite aus einem Scan vermessen. Eine Seite ohne Werte bleibt, "
                                     "wie sie ist.")
                                 .arg(printerName.toHtmlEscaped()),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    layout->addWidget(BuildSide(false));
    layout->addWidget(BuildSide(true));
    row_ = new TSheetScanRow("Aus Scan kalibrieren", this);
    connect(row_, &TSheetScanRow::BusyChanged, this, &TCalibrationDialog::ScanBusy);
    layout->addWidget(row_);

    auto* buttons = new QHBoxLayout;
    clear_ = MakeButton("Kalibrierung löschen", this);
    ok_ = new QPushButton("OK", this);
    ok_->setDefault(true);
    cancel_ = MakeButton("Abbrechen", this);
    cancel_->setProperty("Cancel", true);
    buttons->addWidget(clear_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(clear_, &QPushButton::clicked, this, [this] { ClearClick(); });
    ShowStored();
}

TCalibrationDialog::~TCalibrationDialog() = default;

QWidget* TCalibrationDialog::BuildSide(bool back) {
    TSide& side = sides_[back];
    const QString prefix = back ? "Back" : "Front";
    auto* box = new QGroupBox(SideName(back), this);
    auto* grid = new QGridLayout(box);
    side.print = MakeButton("Kalibrierseite drucken", box);
    side.print->setObjectName(prefix + "PrintBtn");
    connect(side.print, &QPushButton::clicked, this, [this, back] { PrintClick(back); });
    side.scan = MakeButton("Aus Scan kalibrieren...", box);
    side.scan->setObjectName(prefix + "ScanBtn");
    side.scan->setToolTip("Die gedruckte Kalibrierseite scannen und vom Programm vermessen lassen");
    connect(side.scan, &QPushButton::clicked, this, [this, back] { ScanClick(back); });
    side.open = MakeButton("Scan-Datei öffnen...", box);
    side.open->setObjectName(prefix + "OpenScanBtn");
    side.open->setToolTip("Die Kalibrierseite in einem gespeicherten Scan vermessen lassen");
    connect(side.open, &QPushButton::clicked, this, [this, back] { OpenScanClick(back); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(side.print);
    buttons->addWidget(side.scan);
    buttons->addWidget(side.open);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 0, 1, 6);
    int row = 1;
    if (back) {
        auto* hint = new QLabel("Legen Sie das Blatt so ein wie zum Vernichten einer Rückseite.", box);
        hint->setWordWrap(true);
        grid->addWidget(hint, row++, 0, 1, 6);
    }
    grid->addWidget(new QLabel("vom linken Rand", box), row, 1, 1, 2);
    grid->addWidget(new QLabel("vom oberen Rand", box), row++, 3, 1, 2);
    for (int cross = 0; cross < 2; ++cross, ++row) {
        grid->addWidget(new QLabel(QString("Marke %1").arg(cross + 1), box), row, 0);
        const TCalibrationCross& nominal = side.crosses[cross];
        for (const TAxis axis : {TAxis::Horizontal, TAxis::Vertical}) {
            const bool vertical = axis == TAxis::Vertical;
            TNumSpinEdit*& field = side.fields[cross * 2 + vertical];
            field = MakeField(box, prefix + (vertical ? "Y" : "X") + QString::number(cross + 1));
            auto* soll =
                new QLabel(QString("mm (Soll %1)").arg(DecimalText(vertical ? nominal.YMm : nominal.XMm, 1)), box);
            grid->addWidget(field, row, 1 + 2 * vertical);
            grid->addWidget(soll, row, 2 + 2 * vertical);
        }
    }
    side.stored = new QLabel(box);
    side.stored->setObjectName(prefix + "StoredLabel");
    grid->addWidget(side.stored, row, 0, 1, 6);
    grid->setColumnStretch(5, 1);
    return box;
}

TNumSpinEdit* TCalibrationDialog::Field(bool back, int cross, TAxis axis) const {
    return sides_[back].fields[cross * 2 + (axis == TAxis::Vertical)];
}

QString TCalibrationDialog::StoredText(bool back) const { return sides_[back].stored->text(); }

void TCalibrationDialog::ShowStored() {
    const TPrinterCalibration stored = store_.Load(printerName_);
    for (const bool back : {false, true})
        sides_[back].stored->setText("Gespeichert: " + DescribeSide(stored.Side(back)));
    clear_->setEnabled(store_.Exists(printerName_));
}

std::optional<TSideCorrection> TCalibrationDialog::Measured(bool back) {
    const TSide& side = sides_[back];
    std::array<double, 4> values{};
    TNumSpinEdit* firstEmpty = nullptr;
    int filled = 0;
    for (size_t i = 0; i < side.fields.size(); ++i) {
        TNumSpinEdit* field = side.fields[i];
        if (field->text().trimmed().isEmpty()) {
            if (!firstEmpty) firstEmpty = field;
            continue;
        }
        ++filled;
        values[i] = ParseNumber(field->text(), vtFloat, std::numeric_limits<double>::quiet_NaN());
        if (std::isnan(values[i]))
            throw EEntry(QString("%1: „%2“ ist keine Zahl").arg(SideName(back), field->text()), field);
    }
    if (filled == 0) return std::nullopt;
    if (firstEmpty)
        throw EEntry(QString("%1: Bitte tragen Sie für beide Marken den Abstand vom linken und vom oberen Rand ein")
                         .arg(SideName(back)),
                     firstEmpty);
    const auto& [c1, c2] = side.crosses;
    try {
        return TSideCorrection{FitAxis(TAxis::Horizontal, c1.XMm, values[0], c2.XMm, values[2]),
                               FitAxis(TAxis::Vertical, c1.YMm, values[1], c2.YMm, values[3])};
    } catch (const Exception& e) {
        throw EEntry(SideName(back) + ": " + e.Message(), side.fields[0]);
    }
}

void TCalibrationDialog::Warn(const QString& text) {
    Application()->MessageBox(WithFullStop(text), "Kalibrieren", MB_OK | MB_ICONWARNING);
}

void TCalibrationDialog::OkClick() {
    std::array<std::optional<TSideCorrection>, 2> measured;
    try {
        for (const bool back : {false, true}) measured[back] = Measured(back);
    } catch (const EEntry& e) {
        Warn(e.Message());
        e.Field->setFocus();
        e.Field->selectAll();
        return;
    }
    if (!measured[0] && !measured[1]) {
        if (storedFromScan_) {
            accept();
            return;
        }
        Warn("Bitte tragen Sie die gemessenen Werte ein – oder schließen Sie das Fenster mit „Abbrechen“");
        sides_[0].fields[0]->setFocus();
        return;
    }
    if (Store(measured)) accept();
}

bool TCalibrationDialog::Store(const std::array<std::optional<TSideCorrection>, 2>& sides) {
    return Application()->Guard([&] {
        TPrinterCalibration calibration = store_.Load(printerName_);
        if (sides[0]) calibration.Front = sides[0];
        if (sides[1]) calibration.Back = sides[1];
        store_.Save(printerName_, calibration);
    });
}

void TCalibrationDialog::ClearClick() {
    if (Application()->MessageBox(
            QString("Wollen Sie die Kalibrierung für den Drucker „%1“ wirklich löschen?").arg(printerName_),
            "Kalibrierung löschen", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (Application()->Guard([&] { store_.Remove(printerName_); })) accept();
}

void TCalibrationDialog::PrintClick(bool back) {
    Application()->Guard([&] { PrintCalibrationPage(printer_, back); });
}

void TCalibrationDialog::ScanClick(bool back) { MeasureScan(back, true); }
void TCalibrationDialog::OpenScanClick(bool back) { MeasureScan(back, false); }

void TCalibrationDialog::ProposeScan(const TScanRequest& request) {
    const QSizeF area = scanProposal_.AreaMm;
    scanProposal_ = request;
    scanProposal_.AreaMm = area;
}

TScanRequest TCalibrationDialog::LastScanRequest() const {
    return row_->LastRequest().Device.isEmpty() ? scanProposal_ : row_->LastRequest();
}

void TCalibrationDialog::MeasureScan(bool back, bool fromScanner) {
    auto result = std::make_shared<TScanCalibration>();
    const auto work = [result, g = geometry_, back](const TScanImage& scan, TJobControl&) {
        *result = CalibrateFromScan(scan.Image, scan.Dpi, g, back);
    };
    const auto done = [this, result](const TScanImage&) { OfferScanResult(*result); };
    if (fromScanner)
        row_->Scan(LastScanRequest(), work, done);
    else
        row_->Open(work, done);
}

void TCalibrationDialog::OfferScanResult(const TScanCalibration& result) {
    const QString question =
        QString("Soll diese Kalibrierung für die %1 gespeichert werden?").arg(SideName(result.Back));
    const int flags = MB_YESNO | (result.Warnings.isEmpty() ? MB_ICONQUESTION : MB_ICONWARNING | MB_DEFBUTTON2);
    if (Application()->MessageBox(DescribeScanCalibration(result) + "\n\n" + question, "Aus Scan kalibrieren", flags) !=
        IDYES)
        return;
    std::array<std::optional<TSideCorrection>, 2> sides;
    sides[result.Back] = result.Correction;
    if (!Store(sides)) return;
    storedFromScan_ = true;
    cancel_->setText("Schließen");
    ShowStored();
}

void TCalibrationDialog::ScanBusy(bool busy) {
    for (const TSide& side : sides_)
        for (QPushButton* button : {side.print, side.scan, side.open}) button->setEnabled(!busy);
    ok_->setEnabled(!busy);
    if (busy)
        clear_->setEnabled(false);
    else
        ShowStored();
}

void TCalibrationDialog::reject() {
    if (row_->Busy())
        row_->Stop();
    else
        QDialog::reject();
}

} // namespace mx
