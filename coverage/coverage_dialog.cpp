#include "coverage/coverage_dialog.h"

#include "calibration/sheet_scan_row.h"
#include "coverage/coverage_view.h"
#include "ocr/ocr_worker.h"
#include "platform/application.h"
#include "platform/fonts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace mx {

namespace {

// What TOcrWorker fails with for a page without any text.
const QString NoText = QStringLiteral("Kein Text gefunden");

QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TCoverageDialog::TCoverageDialog(const TCoverageJob& job, const TScanRequest& proposal, QWidget* parent)
    : QDialog(parent), job_(job), proposal_(proposal) {
    proposal_.AreaMm = job.PaperMm;
    setWindowTitle(QStringLiteral("Bedeckung prüfen"));
    UseClassicFormLook(*this);
    auto* layout = new QVBoxLayout(this);
    const QString side = job.Back ? QStringLiteral("die Rückseite") : QStringLiteral("die Vorderseite");
    const int count = int(job.Areas.size());
    auto* intro = new QLabel(
        QStringLiteral("Geprüft wird, ob die Füllung %1 auf %2 ganz bedeckt. Scannen Sie das bedruckte Blatt, %2 "
                       "nach unten auf dem Glas, oder öffnen Sie einen Scan davon.")
            .arg(count == 1 ? QStringLiteral("den Bereich") : QStringLiteral("die %1 Bereiche").arg(count), side),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* buttons = new QHBoxLayout;
    scan_ = MakeButton(QStringLiteral("&Scannen..."), QStringLiteral("ScanBtn"), this);
    scan_->setToolTip(QStringLiteral("Das bedruckte Blatt scannen und prüfen"));
    open_ = MakeButton(QStringLiteral("Scan-&Datei öffnen..."), QStringLiteral("OpenScanBtn"), this);
    open_->setToolTip(QStringLiteral("Einen gespeicherten Scan des Blattes prüfen"));
    readText_ = new QCheckBox(QStringLiteral("&Text in den Bereichen lesen"), this);
    readText_->setObjectName(QStringLiteral("ReadTextBox"));
    readText_->setToolTip(QStringLiteral("Nach der Prüfung den Text des Scans erkennen lassen, um zu sehen, ob in "
                                         "einem Bereich noch etwas zu lesen ist (dauert einige Sekunden)"));
    readText_->setChecked(true);
    buttons->addWidget(scan_);
    buttons->addWidget(open_);
    buttons->addWidget(readText_);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(scan_, &QPushButton::clicked, this, &TCoverageDialog::ScanClick);
    connect(open_, &QPushButton::clicked, this, &TCoverageDialog::OpenClick);

    row_ = new TSheetScanRow(QStringLiteral("Bedeckung prüfen"), this);
    connect(row_, &TSheetScanRow::BusyChanged, this, &TCoverageDialog::Busy);
    layout->addWidget(row_);

    auto* body = new QHBoxLayout;
    view_ = new TCoverageView(this);
    result_ = new QLabel(QStringLiteral("Noch kein Scan geprüft."), this);
    result_->setObjectName(QStringLiteral("ResultLabel"));
    result_->setWordWrap(true);
    result_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    result_->setMinimumWidth(260);
    body->addWidget(view_, 3);
    body->addWidget(result_, 2);
    layout->addLayout(body, 1);

    auto* bottom = new QHBoxLayout;
    close_ = new QPushButton(QStringLiteral("Schließen"), this);
    close_->setObjectName(QStringLiteral("CloseBtn"));
    close_->setDefault(true);
    bottom->addStretch();
    bottom->addWidget(close_);
    layout->addLayout(bottom);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

TCoverageDialog::~TCoverageDialog() = default;

void TCoverageDialog::ScanClick() { Check(true); }
void TCoverageDialog::OpenClick() { Check(false); }

TScanRequest TCoverageDialog::LastScanRequest() const {
    return row_->LastRequest().Device.isEmpty() ? proposal_ : row_->LastRequest();
}

void TCoverageDialog::Check(bool fromScanner) {
    auto report = std::make_shared<TCoverageReport>();
    const auto work = [report, job = job_](const TScanImage& scan, TJobControl&) {
        *report = CheckCoverage(scan.Image, scan.Dpi, job);
    };
    const auto done = [this, report](const TScanImage& scan) { Checked(scan, *report); };
    if (fromScanner)
        row_->Scan(LastScanRequest(), work, done);
    else
        row_->Open(work, done);
}

void TCoverageDialog::Checked(const TScanImage& scan, const TCoverageReport& report) {
    scanned_ = scan;
    report_ = report;
    textLine_.clear();
    view_->Show(scan.Image, report);
    ShowResult();
    if (readText_->isChecked()) ReadText();
}

void TCoverageDialog::ReadText() {
    row_->Follow(
        new TOcrWorker(scanned_.Image, scanned_.Dpi, row_), QStringLiteral("Der Text des Scans wird gelesen …"),
        [this](const TTextWords& words) { TextRead(words); }, [this](const QString& message) { TextNotRead(message); });
}

void TCoverageDialog::TextRead(const TTextWords& words) {
    // The same check again, now with the words, for where they lie.
    auto report = std::make_shared<TCoverageReport>();
    const auto work = [report, job = job_, words](const TScanImage& scan, TJobControl&) {
        *report = CheckCoverage(scan.Image, scan.Dpi, job, words);
    };
    row_->Run(scanned_, work, [this, report](const TScanImage&) {
        report_ = *report;
        const bool anyReadable = std::any_of(report_.Areas.begin(), report_.Areas.end(),
                                             [](const TAreaCoverage& a) { return !a.ReadableWords.isEmpty(); });
        if (!anyReadable) textLine_ = QStringLiteral("In keinem Bereich ist noch Text zu lesen.");
        ShowResult();
    });
}

void TCoverageDialog::TextNotRead(const QString& message) {
    if (message == NoText)
        textLine_ = QStringLiteral("Auf dem ganzen Blatt ist kein Text zu lesen.");
    else if (message.isEmpty())
        textLine_ = QStringLiteral("Das Lesen des Textes wurde angehalten; ob in einem Bereich noch Text zu lesen ist, "
                                   "wurde nicht geprüft.");
    else
        textLine_ =
            QStringLiteral("Ob in einem Bereich noch Text zu lesen ist, wurde nicht geprüft. ") + WithFullStop(message);
    ShowResult();
}

void TCoverageDialog::ShowResult() {
    lines_ = DescribeCoverage(report_);
    if (!textLine_.isEmpty()) lines_ << textLine_;
    result_->setText(lines_.join('\n'));
}

void TCoverageDialog::Busy(bool busy) {
    scan_->setEnabled(!busy);
    open_->setEnabled(!busy);
}

void TCoverageDialog::reject() {
    if (row_->Busy())
        row_->Stop();
    else
        QDialog::reject();
}

} // namespace mx
