// The four edge fields and the rule every change of an edge goes through.
#include "app/main_form.h"
#include "geometry/sheet_math.h"
#include "ui_main_form.h"

namespace mx {

void TMainForm::RunEdgeRule(double& edge, double fieldValue) {
    edge = fieldValue * 10;
    Area a = CurrentArea();
    // A number on its way ("1" of "10,00") may pass the other edge: while
    // the user types, reversed edges wait for the end of the edit.
    if (!EdgeBeingTyped()) ExchangeReversedEdges(a);
    ClampToSheet(a, SheetWidthMm, SheetHeightMm);
    SetAreaAsTheMouseDoes(a);
}

bool TMainForm::EdgeBeingTyped() const {
    return ui->LeftEd->InUserEdit() || ui->RightEd->InUserEdit() || ui->TopEd->InUserEdit() ||
           ui->BottomEd->InUserEdit();
}

void TMainForm::FinishEdgeEdit() {
    if (!IsReversed(CurrentArea())) return;
    Area a = CurrentArea();
    NormaliseArea(a, SheetWidthMm, SheetHeightMm);
    SetAreaAsTheMouseDoes(a);
}

Area TMainForm::CurrentArea() const { return {AreaLeftMm, AreaRightMm, AreaTopMm, AreaBottomMm}; }

void TMainForm::LeftEdChange(QObject*) { RunEdgeRule(AreaLeftMm, ui->LeftEd->Value()); }
void TMainForm::RightEdChange(QObject*) { RunEdgeRule(AreaRightMm, ui->RightEd->Value()); }
void TMainForm::TopEdChange(QObject*) { RunEdgeRule(AreaTopMm, ui->TopEd->Value()); }
void TMainForm::BottomEdChange(QObject*) { RunEdgeRule(AreaBottomMm, ui->BottomEd->Value()); }

// Each write takes the edge's value at that moment: an earlier write may
// already have changed it through the nested rules.
void TMainForm::WriteBackEdges() {
    ui->LeftEd->setValue(AreaLeftMm / 10);
    ui->RightEd->setValue(AreaRightMm / 10);
    ui->TopEd->setValue(AreaTopMm / 10);
    ui->BottomEd->setValue(AreaBottomMm / 10);
}

void TMainForm::InitialiseArea() {
    AreaInitialised = true;
    AreaLeftMm = 0;
    AreaTopMm = 0;
    AreaRightMm = SheetWidthMm;
    AreaBottomMm = SheetHeightMm;
    WriteBackEdges();
}

} // namespace mx
