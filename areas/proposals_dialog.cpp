#include "areas/proposals_dialog.h"

#include "platform/fonts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mx {

TProposalsDialog::TProposalsDialog(const QList<TProposal>& proposals, QWidget* parent)
    : QDialog(parent), proposals_(proposals) {
    setWindowTitle(QStringLiteral("Vorschläge"));
    UseClassicFormLook(*this);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        proposals.isEmpty() ? QStringLiteral("Auf dieser Seite steht nichts, was Marbelux zum Vernichten vorschlägt.")
                            : QStringLiteral("Haken Sie an, was vernichtet werden soll; jeder angehakte Eintrag "
                                             "wird ein Bereich."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ProposalList"));
    for (const TProposal& p : proposals) {
        auto* item = new QListWidgetItem(KindName(p.Kind) + QStringLiteral(": ") + p.Text, list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    list_->setMinimumSize(420, 220);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("Als Bereiche übernehmen"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok_->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemChanged, this, [this] { ok_->setEnabled(!Chosen().isEmpty()); });
}

QList<TProposal> TProposalsDialog::Chosen() const {
    QList<TProposal> chosen;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked) chosen.append(proposals_[i]);
    return chosen;
}

} // namespace mx
