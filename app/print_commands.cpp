// The third tab's commands: the front and back jobs and the printer setup.
// A job is taken from the window at the click and then printed as it is.
#include "app/main_form.h"
#include "areas/areas_panel.h"
#include "calibration/calibration_panel.h"
#include "platform/application.h"
#include "platform/printer.h"
#include "print/calibration_store.h"
#include "print/print_job.h"
#include "ui_main_form.h"

#include <QTimer>

namespace mx {

QList<Area> TMainForm::JobAreas() {
    // An edge typed past the other one and not yet ended counts as ended.
    FinishEdgeEdit();
    return QList<Area>{CurrentArea()} + areas_->JobAreas();
}

TPrintJob TMainForm::TakeJob(bool back) {
    TPrintJob job;
    job.Back = back;
    job.Areas = JobAreas();
    job.FillIndex = ui->fillBox->ItemIndex();
    job.Foreground = ui->TavelColorComboBox2->ColorValue();
    job.Background = ui->TavelColorComboBox1->ColorValue();
    job.Copies = TruncToInt(ui->CopiesED->Value());
    job.Title = JobTitle(back);
    job.Correction = calibration_->Store().Load(Printer()->Name()).Side(back);
    return job;
}

void TMainForm::RunPrintJob(bool back) {
    if (Application()->MessageBox("Wollen Sie das eingelegte Dokument wirklich vernichten?", "Sicherheitsabfrage",
                                  MB_YESNOCANCEL | MB_ICONSTOP) != IDYES)
        return;
    TPrinter* printer = Printer();
    printer->Refresh();
    const TPrintJob job = TakeJob(back);
    // Progress back to 0 and a pending close carried out, also on failure.
    struct Finish {
        TMainForm& form;
        ~Finish() { form.FinishJob(); }
    } finish{*this};
    PrintJob(*printer, job, [this](int percent) { SendProgress(this, percent); });
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
