#include "areas/area_sets_dialog.h"

#include "platform/application.h"
#include "platform/fonts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace mx {

TAreaSetsDialog::TAreaSetsDialog(TAreaSetStore& store, TAreaSet current, QWidget* parent)
    : QDialog(parent), store_(store), current_(std::move(current)) {
    setWindowTitle(QStringLiteral("Vorlagen"));
    UseClassicFormLook(*this);
    auto* grid = new QGridLayout(this);
    auto* intro = new QLabel(QStringLiteral("Eine Vorlage hält die Bereiche eines Dokuments fest, das immer wieder "
                                            "kommt. Gespeichert werden der gewählte Bereich und die Bereiche der "
                                            "Liste (%1 zusammen).")
                                 .arg(current_.Areas.size()),
                             this);
    intro->setWordWrap(true);
    grid->addWidget(intro, 0, 0, 1, 2);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("SetList"));
    list_->setMinimumSize(260, 160);
    grid->addWidget(list_, 1, 0, 4, 1);
    load_ = new QPushButton(QStringLiteral("&Laden"), this);
    delete_ = new QPushButton(QStringLiteral("L&öschen"), this);
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    grid->addWidget(load_, 1, 1);
    grid->addWidget(delete_, 2, 1);
    grid->addWidget(close, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Name:"), this), 5, 0, 1, 2);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("SetName"));
    name_->setMaxLength(MaxAreaSetNameLength);
    grid->addWidget(name_, 6, 0);
    save_ = new QPushButton(QStringLiteral("S&peichern"), this);
    grid->addWidget(save_, 6, 1);
    for (QPushButton* b : {load_, delete_, close, save_}) b->setAutoDefault(false);

    connect(load_, &QPushButton::clicked, this, [this] { Application()->Guard([this] { LoadClick(); }); });
    connect(delete_, &QPushButton::clicked, this, [this] { Application()->Guard([this] { DeleteClick(); }); });
    connect(save_, &QPushButton::clicked, this, [this] { Application()->Guard([this] { SaveClick(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (!name.isEmpty()) name_->setText(name);
        load_->setEnabled(!name.isEmpty());
        delete_->setEnabled(!name.isEmpty());
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Application()->Guard([this] { LoadClick(); }); });
    ShowNames();
}

void TAreaSetsDialog::ShowNames() {
    list_->clear();
    list_->addItems(store_.Names());
    load_->setEnabled(false);
    delete_->setEnabled(false);
}

void TAreaSetsDialog::SaveClick() {
    const QString name = name_->text();
    if (const QString problem = TAreaSetStore::NameProblem(name); !problem.isEmpty()) {
        Application()->MessageBox(problem, QStringLiteral("Vorlage speichern"), MB_OK | MB_ICONWARNING);
        name_->setFocus();
        return;
    }
    if (store_.Exists(name) &&
        Application()->MessageBox(QStringLiteral("Die Vorlage „%1“ gibt es schon. Soll sie ersetzt werden?").arg(name),
                                  QStringLiteral("Vorlage speichern"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    TAreaSet set = current_;
    set.Name = name;
    store_.Save(set);
    ShowNames();
}

void TAreaSetsDialog::LoadClick() {
    const QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    loaded_ = store_.Load(item->text());
    if (loaded_) accept();
}

void TAreaSetsDialog::DeleteClick() {
    const QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    const QString name = item->text();
    if (Application()->MessageBox(QStringLiteral("Wollen Sie die Vorlage „%1“ wirklich löschen?").arg(name),
                                  QStringLiteral("Vorlage löschen"),
                                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    store_.Remove(name);
    ShowNames();
}

} // namespace mx
