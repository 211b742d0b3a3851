#include "settings/main_form_storage.h"

#include "settings/form_storage.h"

#include <QWidget>

namespace mx {

TFormStorage* AttachMainFormStorage(QWidget* form) {
    auto* storage = new TFormStorage(form);
    storage->setObjectName(QStringLiteral("FormStorage1"));
    storage->SetStoredProps({QStringLiteral("fillBox.ItemIndex"), QStringLiteral("TavelColorComboBox1.ColorValue"),
                             QStringLiteral("TavelColorComboBox2.ColorValue")});
    storage->Loaded();
    return storage;
}

} // namespace mx
