#pragma once
// TFormStorage keeps, besides the placement, chosen properties of controls
// on the window. Each StoredProps entry is "component.property"; the
// component is a descendant of the window with that object name and the
// property one of its Q_PROPERTYs, both found without regard to case. The
// key in the file is the component's name, "_" and the property's name.
// Entries that name nothing are dropped when the window has loaded; an
// entry whose component is deleted later is dropped too.
#include "settings/form_placement.h"

#include <QStringList>
#include <vector>

namespace mx {

class TFormStorage : public TFormPlacement {
    Q_OBJECT
public:
    using TFormPlacement::TFormPlacement;

    QStringList StoredProps() const;
    // Once the window has loaded, the entries are resolved at once.
    void SetStoredProps(const QStringList& entries);

    void Loaded() override;

protected:
    void SaveProps() override;
    void RestoreProps() override;

private:
    struct Entry {
        QString text;
        QPointer<QObject> component;
    };
    void Resolve();
    void Refresh();

    std::vector<Entry> entries_;
    bool loaded_ = false;
};

} // namespace mx
