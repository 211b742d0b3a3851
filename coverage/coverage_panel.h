#pragma once
// "Prüfen..." on the third tab, with the side to check: after printing, a
// scan of the sheet shows how much of each area the fill covers (see
// TCoverageDialog). The main window owns it and gives it, through the
// source, the areas and the fill its jobs print now.
#include "coverage/coverage_check.h"
#include "platform/colors.h"
#include "scan/scanner_module.h"

#include <QList>
#include <QObject>
#include <functional>

class QComboBox;
class QPushButton;
class QWidget;

namespace mx {

// The fill as the window holds it: the index in the fill list and the
// colours, system colours allowed.
struct TPrintedFill {
    int Index = 0;
    TColor Foreground = clYellow;
    TColor Background = clBlack;
};

struct TCoverageSource {
    // The areas the jobs print, in the sheet's millimetres.
    std::function<QList<Area>()> Areas;
    std::function<TPrintedFill()> Fill;
};

class TCoveragePanel : public QObject {
    Q_OBJECT
public:
    // Puts its button and side box into the free part of the strip.
    TCoveragePanel(QWidget* strip, TCoverageSource source);
    ~TCoveragePanel() override;

    QPushButton* CheckButton() const { return check_; }
    QComboBox* SideBox() const { return side_; }

    // The check as the dialog gets it: the printer's sheet and resolution
    // now, the side chosen, the window's areas and fill in plain colours.
    // Raises EPrinter like the printer.
    TCoverageJob CoverageJob();
    void CheckClick();

private:
    TCoverageSource source_;
    // The scanner settings last used in the dialog, for the run: a colour
    // scan, since fills are coloured.
    TScanRequest lastScan_;
    QPushButton* check_ = nullptr;
    QComboBox* side_ = nullptr;
};

} // namespace mx
