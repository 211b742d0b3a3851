#include "tests/settings/stand_in_form.h"

#include "platform/window_placement.h"
#include "settings/form_storage.h"
#include "settings/main_form_storage.h"

#include <QCloseEvent>

namespace mx::test {

TMainForm::TMainForm(bool storage) {
    resize(622, 476);
    SetFormPosition(this, TPosition::poScreenCenter);
    auto* tab = new QWidget(this); // the controls sit deeper than the window
    fillBox = new FillList(tab);
    fillBox->setObjectName("fillBox");
    color1 = new ColorBox(tab, clBlack);
    color1->setObjectName("TavelColorComboBox1");
    color2 = new ColorBox(tab, clYellow);
    color2->setObjectName("TavelColorComboBox2");
    if (storage) FormStorage1 = AttachMainFormStorage(this);
}

TMainForm::~TMainForm() {
    if (FormStorage1) FormStorage1->WindowDestroying();
}

void TMainForm::showEvent(QShowEvent* event) {
    ApplyFormPosition(this);
    QWidget::showEvent(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (refuseClose) event->ignore();
}

} // namespace mx::test
