#include "platform/printer_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace mx {

namespace {

// The sizes offered for a PDF file, the common ones first.
QList<QPageSize> PdfPaperSizes() {
    QList<QPageSize> sizes;
    for (QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::A5, QPageSize::A3, QPageSize::A6, QPageSize::B5,
                                     QPageSize::Letter, QPageSize::Legal, QPageSize::Executive})
        sizes.append(QPageSize(id));
    return sizes;
}

bool SameSize(const QPageSize& a, const QPageSize& b) {
    return a.isEquivalentTo(b) || (!a.key().isEmpty() && a.key() == b.key());
}

} // namespace

TPrinterSetupDialog::TPrinterSetupDialog(const QPrinter& printer, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Druckereinrichtung"));
    auto* form = new QFormLayout;
    const bool queue = printer.outputFormat() == QPrinter::NativeFormat;
    if (queue) {
        printerBox_ = new QComboBox(this);
        printerBox_->setObjectName(QStringLiteral("PrinterBox"));
        for (const QString& name : QPrinterInfo::availablePrinterNames()) printerBox_->addItem(name);
        if (printerBox_->findText(printer.printerName()) < 0) printerBox_->addItem(printer.printerName());
        printerBox_->setCurrentText(printer.printerName());
        form->addRow(QStringLiteral("&Drucker:"), printerBox_);
    } else {
        form->addRow(QStringLiteral("Ausgabe:"), new QLabel(QStringLiteral("PDF-Datei"), this));
    }
    paperBox_ = new QComboBox(this);
    paperBox_->setObjectName(QStringLiteral("PaperBox"));
    form->addRow(QStringLiteral("&Papierformat:"), paperBox_);

    portrait_ = new QRadioButton(QStringLiteral("&Hochformat"), this);
    landscape_ = new QRadioButton(QStringLiteral("&Querformat"), this);
    portrait_->setObjectName(QStringLiteral("PortraitButton"));
    landscape_->setObjectName(QStringLiteral("LandscapeButton"));
    (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscape_ : portrait_)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    orientation->addStretch();
    form->addRow(QStringLiteral("Ausrichtung:"), orientation);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    FillPaperSizes(printer.pageLayout().pageSize());
    if (printerBox_)
        connect(printerBox_, &QComboBox::currentTextChanged, this,
                [this] { FillPaperSizes(sizes_.value(paperBox_->currentIndex())); });
}

void TPrinterSetupDialog::FillPaperSizes(const QPageSize& wanted) {
    QPageSize fallback = wanted;
    if (printerBox_) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printerBox_->currentText());
        sizes_ = info.supportedPageSizes();
        fallback = info.defaultPageSize();
    } else {
        sizes_ = PdfPaperSizes();
        if (!std::any_of(sizes_.begin(), sizes_.end(), [&](const QPageSize& s) { return SameSize(s, wanted); }))
            sizes_.append(wanted);
    }
    paperBox_->clear();
    int chosen = -1, byDefault = 0;
    for (int i = 0; i < sizes_.size(); ++i) {
        paperBox_->addItem(sizes_[i].name());
        if (chosen < 0 && SameSize(sizes_[i], wanted)) chosen = i;
        if (SameSize(sizes_[i], fallback)) byDefault = i;
    }
    paperBox_->setCurrentIndex(chosen >= 0 ? chosen : byDefault);
}

void TPrinterSetupDialog::Apply(QPrinter& printer) const {
    if (printerBox_ && printerBox_->currentText() != printer.printerName())
        printer.setPrinterName(printerBox_->currentText());
    if (paperBox_->currentIndex() >= 0) printer.setPageSize(sizes_[paperBox_->currentIndex()]);
    printer.setPageOrientation(landscape_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
}

} // namespace mx
