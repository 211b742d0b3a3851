#include "coverage/coverage_panel.h"

#include "controls/placed_controls.h"
#include "coverage/coverage_dialog.h"
#include "platform/application.h"
#include "platform/printer.h"
#include "print/fill_style.h"
#include "print/overprint_rect.h"

#include <QComboBox>
#include <QPushButton>
#include <vector>

namespace mx {

TCoveragePanel::TCoveragePanel(QWidget* strip, TCoverageSource source) : QObject(strip), source_(std::move(source)) {
    lastScan_.Colour = TScanColour::Colour;
    // Right of the copies field, below the calibration button.
    check_ = PlaceButton(strip, QStringLiteral("CoverageBtn"), QStringLiteral("&Prüfen..."), {216, 78, 84, 25},
                         QStringLiteral("Nach dem Drucken: das Blatt scannen und prüfen, ob die Füllung jeden Bereich "
                                        "ganz bedeckt"),
                         [this] { CheckClick(); });
    side_ = PlaceControl<QComboBox>(strip, QStringLiteral("CoverageSideBox"), {304, 78, 90, 25},
                                    QStringLiteral("Welche Seite des Blattes geprüft wird"));
    side_->addItems({QStringLiteral("Vorderseite"), QStringLiteral("Rückseite")});
}

TCoveragePanel::~TCoveragePanel() = default;

TCoverageJob TCoveragePanel::CoverageJob() {
    const PrinterGeometry g = ReadPrinterGeometry(*Printer());
    const TPrintedFill fill = source_.Fill();
    TCoverageJob job;
    job.PaperMm = {DeviceToMm(g.PaperWidth, g.Dpi), DeviceToMm(g.PaperHeight, g.Dpi)};
    job.Back = side_->currentIndex() == 1;
    const QList<Area> areas = source_.Areas();
    job.Areas.assign(areas.begin(), areas.end());
    // The jobs keep the brush's own pattern for an index without one: solid.
    job.Fill = {FillPatternForIndex(fill.Index).value_or(bsSolid), ColorToRGB(fill.Foreground),
                ColorToRGB(fill.Background), g.Dpi};
    return job;
}

void TCoveragePanel::CheckClick() {
    Printer()->Refresh();
    TCoverageDialog dialog(CoverageJob(), lastScan_, check_->window());
    Application()->ExecDialog(dialog);
    lastScan_ = dialog.LastScanRequest();
}

} // namespace mx
