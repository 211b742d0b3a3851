// The four edge fields and the rule every change of an edge goes through.
#include "app/main_form.h"
#include "sheet/sheet_math.h"
#include "ui_main_form.h"

namespace mx {

void TMainForm::RunEdgeRule(double& edge, double fieldValue) {
    edge = fieldValue * 10;
    Area a{AreaLeftMm, AreaRightMm, AreaTopMm, AreaBottomMm};
    NormaliseArea(a, SheetWidthMm, SheetHeightMm);
    AreaLeftMm = a.Left;
    AreaRightMm = a.Right;
    AreaTopMm = a.Top;
    AreaBottomMm = a.Bottom;
    WriteBackEdges();
    PaintBox1Paint(this);
}

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
