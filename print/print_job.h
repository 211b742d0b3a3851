#pragma once
// A front or back job: a value taken when the user clicks, so that nothing
// done in the window while its pages go out changes them.
#include "geometry/sheet_math.h"
#include "platform/colors.h"
#include "print/correction.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace mx {

class TPrinter;

struct TPrintJob {
    bool Back = false;
    // Sheet millimetres, as the window holds them (not normalised again).
    QList<Area> Areas;
    int FillIndex = 0;
    TColor Foreground = clYellow;
    TColor Background = clBlack;
    int Copies = 1;
    QString Title;
    // The correction in force for the printer on this side.
    std::optional<TSideCorrection> Correction;
};

// "Dokument vernichten" or "Dokumenten-Rückseite vernichten".
QString JobTitle(bool back);

// One page per copy, each with every area filled by the fill rule; copies
// below one give one empty page. progress hears the share done after each
// filled page. False when the user cancelled the choice of where to print.
// Raises EPrinter.
bool PrintJob(TPrinter& printer, const TPrintJob& job, const std::function<void(int percent)>& progress = {});

} // namespace mx
