#pragma once
// "Vorschläge": what the page's text holds that people usually hide, one
// line each with its kind and text, none ticked; the ticked ones become
// areas. Run it through Application()->ExecDialog.
#include "areas/proposals.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace mx {

class TProposalsDialog : public QDialog {
    Q_OBJECT
public:
    TProposalsDialog(const QList<TProposal>& proposals, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    QPushButton* OkButton() const { return ok_; }
    // The ticked proposals, in the list's order.
    QList<TProposal> Chosen() const;

private:
    QList<TProposal> proposals_;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace mx
