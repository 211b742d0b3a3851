#include "scan/scan_dialog.h"

#include "platform/application.h"
#include "platform/fonts.h"
#include "scan/scan_jobs.h"
#include "scan/scanner.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mx {

namespace {

constexpr int Resolutions[] = {150, 300, 600};
constexpr int DefaultDpi = 300;

QString MmText(double mm) { return QLocale().toString(mm, 'f', 1); }

} // namespace

TScanDialog::TScanDialog(const TScanRequest& initial, QWidget* parent) : QDialog(parent), initial_(initial) {
    setWindowTitle(QStringLiteral("Scannen"));
    setFont(WindowsFont(QStringLiteral("MS Sans Serif"), 11));
    auto* layout = new QVBoxLayout(this);
    // The dialog follows its contents: a message about the search may need
    // several lines.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    auto* scannerLabel = new QLabel(QStringLiteral("&Scanner:"), this);
    scanners_ = new QComboBox(this);
    scanners_->setObjectName(QStringLiteral("ScannerBox"));
    scanners_->setMinimumWidth(280);
    scannerLabel->setBuddy(scanners_);
    refresh_ = new QPushButton(QStringLiteral("&Aktualisieren"), this);
    refresh_->setObjectName(QStringLiteral("RefreshBtn"));
    refresh_->setAutoDefault(false);
    refresh_->setToolTip(QStringLiteral("Noch einmal nach Scannern suchen, etwa nachdem einer eingeschaltet wurde"));
    grid->addWidget(scannerLabel, 0, 0);
    grid->addWidget(scanners_, 0, 1);
    grid->addWidget(refresh_, 0, 2);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLabel"));
    status_->setWordWrap(true);
    grid->addWidget(status_, 1, 1, 1, 2);

    auto* resolutionLabel = new QLabel(QStringLiteral("Auf&lösung:"), this);
    resolution_ = new QComboBox(this);
    resolution_->setObjectName(QStringLiteral("ResolutionBox"));
    resolutionLabel->setBuddy(resolution_);
    for (const int dpi : Resolutions) resolution_->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    const int proposed = resolution_->findData(initial.Dpi);
    resolution_->setCurrentIndex(proposed >= 0 ? proposed : resolution_->findData(DefaultDpi));
    grid->addWidget(resolutionLabel, 2, 0);
    grid->addWidget(resolution_, 2, 1, Qt::AlignLeft);

    grey_ = new QRadioButton(QStringLiteral("&Graustufen"), this);
    grey_->setObjectName(QStringLiteral("GreyBtn"));
    colour_ = new QRadioButton(QStringLiteral("&Farbe"), this);
    colour_->setObjectName(QStringLiteral("ColourBtn"));
    auto* colours = new QButtonGroup(this);
    colours->addButton(grey_);
    colours->addButton(colour_);
    (initial.Colour == TScanColour::Colour ? colour_ : grey_)->setChecked(true);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(grey_);
    colourRow->addWidget(colour_);
    colourRow->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("Farbe:"), this), 3, 0);
    grid->addLayout(colourRow, 3, 1);

    area_ = new QLabel(QStringLiteral("%1 × %2 mm ab der Ecke des Scanners (die Größe des Blattes; ein kleinerer "
                                      "Scanner scannt, so viel er kann)")
                           .arg(MmText(initial.AreaMm.width()), MmText(initial.AreaMm.height())),
                       this);
    area_->setObjectName(QStringLiteral("AreaLabel"));
    area_->setWordWrap(true);
    grid->addWidget(new QLabel(QStringLiteral("Bereich:"), this), 4, 0, Qt::AlignTop);
    grid->addWidget(area_, 4, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    scan_ = new QPushButton(QStringLiteral("Scannen"), this);
    scan_->setObjectName(QStringLiteral("ScanBtn"));
    scan_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel_->setObjectName(QStringLiteral("CancelBtn"));
    cancel_->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(scan_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(refresh_, &QPushButton::clicked, this, &TScanDialog::Refresh);
    connect(scan_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    Search(false);
}

TScanDialog::~TScanDialog() = default;

TScanRequest TScanDialog::Request() const {
    TScanRequest request = initial_;
    request.Device = scanners_->currentData().toString();
    request.Dpi = resolution_->currentData().toInt();
    request.Colour = colour_->isChecked() ? TScanColour::Colour : TScanColour::Grey;
    return request;
}

void TScanDialog::Refresh() { Search(true); }

void TScanDialog::Search(bool refresh) {
    if (search_) return;
    // A search that outlives the dialog ends on its own thread.
    search_ = new TScannerSearch(refresh, this);
    connect(search_, &TScannerSearch::Finished, this, &TScanDialog::ShowScanners);
    connect(search_, &TBackgroundJob::Failed, this, [this](const QString& message) {
        scanners_->clear();
        SearchEnded(WithFullStop(message));
    });
    scanners_->setEnabled(false);
    refresh_->setEnabled(false);
    scan_->setEnabled(false);
    status_->setText(QStringLiteral("Scanner werden gesucht …"));
    status_->show();
    search_->Start();
}

void TScanDialog::ShowScanners(const QList<TScannerInfo>& scanners) {
    // The one chosen before stays chosen when it is still there.
    const QString chosen = scanners_->count() ? scanners_->currentData().toString() : initial_.Device;
    scanners_->clear();
    for (const TScannerInfo& scanner : scanners) scanners_->addItem(ScannerLabel(scanner), scanner.Name);
    scanners_->setCurrentIndex(std::max(0, scanners_->findData(chosen)));
    SearchEnded(scanners.isEmpty() ? WithFullStop(NoScannerMessage()) : QString());
}

void TScanDialog::SearchEnded(const QString& status) {
    search_->deleteLater();
    search_ = nullptr;
    status_->setText(status);
    status_->setVisible(!status.isEmpty());
    scanners_->setEnabled(scanners_->count() > 0);
    refresh_->setEnabled(true);
    scan_->setEnabled(scanners_->count() > 0);
}

} // namespace mx
