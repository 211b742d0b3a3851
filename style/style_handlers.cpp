// The style tab's handlers: every change paints the swatch at once.
#include "app/main_form.h"
#include "style/swatch.h"
#include "ui_main_form.h"

namespace mx {

void TMainForm::PaintBox2Paint(QObject*) {
    PaintSwatch(*ui->PaintBox2, *ui->fillBox, *ui->TavelColorComboBox1, *ui->TavelColorComboBox2);
}

void TMainForm::TavelColorComboBox1Change(QObject*) { PaintBox2Paint(this); }
void TMainForm::TavelColorComboBox2Change(QObject*) { PaintBox2Paint(this); }
void TMainForm::fillBoxClick(QObject*) { PaintBox2Paint(this); }

} // namespace mx
