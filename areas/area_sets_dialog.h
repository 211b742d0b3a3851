#pragma once
// "Vorlagen": the saved sets of areas. The areas of the window (its own and
// the listed ones of the page shown) are saved under a name, a stored set
// is loaded or deleted. Run it through Application()->ExecDialog; a set
// loaded ends it with Accepted.
#include "areas/area_set_store.h"

#include <QDialog>
#include <optional>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace mx {

class TAreaSetsDialog : public QDialog {
    Q_OBJECT
public:
    // current: the areas to save, with the page they lie on.
    TAreaSetsDialog(TAreaSetStore& store, TAreaSet current, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    QLineEdit* NameField() const { return name_; }
    QPushButton* SaveButton() const { return save_; }
    QPushButton* LoadButton() const { return load_; }
    QPushButton* DeleteButton() const { return delete_; }
    // The set chosen to be loaded.
    const std::optional<TAreaSet>& Loaded() const { return loaded_; }

    void SaveClick();
    void LoadClick();
    void DeleteClick();

private:
    void ShowNames();

    TAreaSetStore& store_;
    TAreaSet current_;
    std::optional<TAreaSet> loaded_;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* delete_ = nullptr;
};

} // namespace mx
