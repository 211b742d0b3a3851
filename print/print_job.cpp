// The front and back overprint jobs and the printer setup.
#include "app/main_form.h"
#include "calibration/calibration_panel.h"
#include "platform/application.h"
#include "platform/printer.h"
#include "print/overprint_rect.h"
#include "style/fill_style.h"
#include "ui_main_form.h"

#include <QTimer>
#include <cmath>

namespace mx {

void TMainForm::RunPrintJob(bool back) {
    if (Application()->MessageBox("Wollen Sie das eingelegte Dokument wirklich vernichten?", "Sicherheitsabfrage",
                                  MB_YESNOCANCEL | MB_ICONSTOP) != IDYES)
        return;
    TPrinter* printer = Printer();
    printer->Refresh();
    PrinterGeometry g;
    g.Dpi = printer->GetDeviceCaps(LOGPIXELSX);
    g.OffsetX = printer->GetDeviceCaps(PHYSICALOFFSETX);
    g.OffsetY = printer->GetDeviceCaps(PHYSICALOFFSETY);
    if (back) g.PaperWidth = printer->GetDeviceCaps(PHYSICALWIDTH);
    // An edge typed past the other one and not yet ended counts as ended.
    FinishEdgeEdit();
    const Area area = CurrentArea();
    const TRect rect = calibration_->Corrected(back ? BackRect(area, g) : FrontRect(area, g), g, back);

    printer->SetTitle(back ? "Dokumenten-Rückseite vernichten" : "Dokument vernichten");
    if (!printer->BeginDoc()) return;
    // Progress back to 0 and a pending close carried out, also on failure;
    // the guard drops a document that did not reach EndDoc first.
    struct Finish {
        TMainForm& form;
        ~Finish() { form.FinishJob(); }
    } finish{*this};
    TDocumentGuard guard(*printer);
    const int n = TruncToInt(ui->CopiesED->Value());
    for (int i = 1; i <= n; ++i) {
        // A new page starts with a fresh drawing state: set everything anew.
        ApplyFillRule(printer->Canvas(), rect, ui->fillBox->ItemIndex(), ui->TavelColorComboBox2->ColorValue(),
                      ui->TavelColorComboBox1->ColorValue());
        SendProgress(this, static_cast<int>(static_cast<long long>(i) * 100 / n));
        if (i < TruncToInt(ui->CopiesED->Value())) printer->NewPage();
    }
    printer->EndDoc();
}

void TMainForm::FinishJob() {
    SendProgress(this, 0);
    if (closeAfterJob_) {
        closeAfterJob_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void TMainForm::PrintBtnClick(QObject*) { RunPrintJob(false); }
void TMainForm::BackBtnClick(QObject*) { RunPrintJob(true); }

// Paper and printer are inputs of the preview: its next paint is a
// complete redraw, which reads them again.
void TMainForm::PrintSetupBtnClick(QObject*) {
    Printer()->Setup();
    ui->PaintBox1->Invalidate();
    calibration_->ShowCorrection();
}

} // namespace mx
