#include "backdrop/backdrop_panel.h"

#include "backdrop/backdrop.h"
#include "backdrop/backdrop_error.h"
#include "backdrop/backdrop_loader.h"
#include "controls/num_spin_edit.h"
#include "controls/placed_controls.h"
#include "geometry/sheet_math.h"
#include "geometry/view_mapping.h"
#include "platform/application.h"
#include "scan/scanner_module.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolTip>
#include <QUrl>

namespace mx {

namespace {

// Grows a found text's box by 1 mm on each side, so its edges are covered.
constexpr double SearchMarginMm = 1.0;

const QString ToolTipSearch = QStringLiteral("Text auf der Seite suchen (im PDF-Dokument oder im gelesenen Scan); "
                                             "Enter legt den Bereich über die nächste Fundstelle");

// The first local file of a drag, if any.
QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

} // namespace

TBackdropPanel::TBackdropPanel(QWidget* strip, QWidget* dropTarget, TBackdropHost host)
    : QObject(strip), strip_(strip), host_(std::move(host)), lastScan_(std::make_unique<TScanRequest>()) {
    // The strip's row below the edge fields. A page just scanned has no
    // pages to choose: the button to save it takes the page field's place.
    open_ = PlaceButton(strip, QStringLiteral("BackdropBtn"), QStringLiteral("&Hintergrund..."), {8, 60, 80, 23},
                        QStringLiteral("Das bedruckte Dokument (PDF) oder einen Scan des Blattes als Hintergrund "
                                       "der Vorschau zeigen; er wird nicht gedruckt"),
                        [this] { OpenClick(); });
    scan_ = PlaceButton(strip, QStringLiteral("BackdropScanBtn"), QStringLiteral("&Scannen..."), {92, 60, 66, 23},
                        QStringLiteral("Das Blatt jetzt scannen und als Hintergrund der Vorschau zeigen; sein Text "
                                       "wird gelesen, damit er sich suchen lässt"),
                        [this] { Scan(); });
    pageLabel_ = new QLabel(QStringLiteral("Seite:"), strip);
    pageLabel_->setGeometry(164, 64, 28, 13);
    page_ = PlaceControl<TNumSpinEdit>(strip, QStringLiteral("BackdropPageEd"), {194, 61, 46, 21},
                                       QStringLiteral("Seite des PDF-Dokuments, die als Hintergrund erscheint"));
    page_->setMinValue(1);
    page_->setMaxValue(1);
    page_->setValue(1);
    save_ =
        PlaceButton(strip, QStringLiteral("BackdropSaveScanBtn"), QStringLiteral("S&peichern..."), {164, 60, 76, 23},
                    QStringLiteral("Den Scan als PNG-Datei mit seiner Auflösung speichern, damit er sich später "
                                   "wieder in wahrer Größe als Hintergrund öffnen lässt"),
                    [this] { SaveScan(); });
    remove_ = PlaceButton(strip, QStringLiteral("BackdropRemoveBtn"), QStringLiteral("&Entfernen"), {246, 60, 62, 23},
                          QStringLiteral("Den Hintergrund wieder aus der Vorschau nehmen"), [this] { Remove(); });
    search_ = PlaceControl<QLineEdit>(strip, QStringLiteral("BackdropSearchEd"), {314, 61, 91, 21}, ToolTipSearch);
    search_->setPlaceholderText(QStringLiteral("Suchen"));

    connect(search_, &QLineEdit::returnPressed, this, [this] { Application()->Guard([this] { Search(); }); });
    connect(search_, &QLineEdit::textEdited, this, [this] { search_->setToolTip(ToolTipSearch); });
    page_->OnChange = [this](QObject*) { PageChange(); };

    dropTarget->setAcceptDrops(true);
    dropTarget->installEventFilter(this);
    UpdateControls();
}

TBackdropPanel::~TBackdropPanel() = default;

void TBackdropPanel::Open(const QString& path) { Load(new TBackdropLoader(path, nullptr)); }

void TBackdropPanel::Load(TBackdropLoader* loader) {
    Adopt(loader, TActivity::Loading);
    connect(loader, &TBackdropLoader::Loaded, this, [this, loader] { Loaded(*loader); });
    connect(loader, &TBackgroundJob::Failed, this, [this](const QString& message) {
        JobEnded();
        Application()->ShowException(message);
        ReadIfUnread();
    });
    loader->Start();
}

void TBackdropPanel::Loaded(TBackdropLoader& loader) {
    backdrop_ = loader.Take();
    scanPng_ = loader.ScanPng();
    unread_ = !backdrop_->IsPdf();
    JobEnded();
    search_->clear();
    search_->setToolTip(ToolTipSearch);
    host_.Redraw();
    ReadIfUnread();
}

void TBackdropPanel::Adopt(TBackgroundJob* job, TActivity activity) {
    GiveUp();
    job_.reset(job);
    activity_ = activity;
    connect(job, &TBackgroundJob::Progress, this, [this](int percent) { host_.Progress(percent); });
    connect(job, &TBackgroundJob::Cancelled, this, [this] {
        const bool reading = Reading();
        JobEnded();
        // Cancelled by the user the reading stays undone; other work gives
        // the reading it interrupted its turn again.
        if (reading)
            unread_ = false;
        else
            ReadIfUnread();
    });
    UpdateControls();
}

void TBackdropPanel::GiveUp() {
    if (!job_) return;
    job_->disconnect(this);
    job_.release()->deleteLater();
    activity_ = TActivity::None;
}

void TBackdropPanel::JobEnded() {
    // The job is in its own signal: let it return first.
    job_.release()->deleteLater();
    activity_ = TActivity::None;
    host_.Progress(0);
    UpdateControls();
}

void TBackdropPanel::Remove() {
    if (job_) {
        job_->Cancel();
        return;
    }
    if (!backdrop_) return;
    backdrop_.reset();
    scanPng_.clear();
    unread_ = false;
    UpdateControls();
    host_.Redraw();
}

void TBackdropPanel::OpenClick() {
    const auto file = Application()->OpenFileName(
        QStringLiteral("Hintergrund laden"),
        QStringLiteral("Dokumente und Scans (*.pdf *.png *.jpg *.jpeg *.tif *.tiff *.bmp);;Alle Dateien (*)"));
    if (file) Open(*file);
}

void TBackdropPanel::UpdateControls() {
    const bool pdf = backdrop_ && backdrop_->IsPdf();
    const int pages = backdrop_ ? backdrop_->PageCount() : 1;
    page_->setMaxValue(pages);
    page_->setValue(backdrop_ ? backdrop_->Page() : 1);
    page_->setEnabled(pdf && pages > 1);
    pageLabel_->setEnabled(page_->isEnabled());
    const bool scanned = backdrop_ && !scanPng_.isEmpty();
    pageLabel_->setVisible(!scanned);
    page_->setVisible(!scanned);
    save_->setVisible(scanned);
    // While something is being done the button gives it up.
    remove_->setText(job_ ? QStringLiteral("Abbre&chen") : QStringLiteral("&Entfernen"));
    remove_->setEnabled(backdrop_ != nullptr || job_);
    // The scanner is busy with the scan already.
    scan_->setEnabled(!Scanning());
    search_->setEnabled(backdrop_ && backdrop_->HasText());
    search_->setPlaceholderText(Reading() ? QStringLiteral("Wird gelesen …") : QStringLiteral("Suchen"));
}

void TBackdropPanel::PageChange() {
    if (!backdrop_) return;
    const double wanted = page_->Value();
    if (wanted == backdrop_->Page()) return;
    // A page beyond the document, as it is typed: say so, keep the page.
    if (wanted < 1 || wanted > backdrop_->PageCount()) {
        Note(page_, QStringLiteral("Seite %1 gibt es nicht: das Dokument hat %2 Seiten")
                        .arg(QString::number(wanted, 'g', 12))
                        .arg(backdrop_->PageCount()));
        return;
    }
    backdrop_->SetPage(int(wanted));
    search_->setEnabled(backdrop_->HasText());
    host_.Redraw();
}

void TBackdropPanel::Search() {
    if (!backdrop_ || search_->text().trimmed().isEmpty()) return;
    const QSizeF sheet = host_.SheetSizeMm();
    const std::optional<QRectF> found = backdrop_->FindNext(search_->text().trimmed(), sheet.width(), sheet.height());
    if (!found) {
        Note(search_, QStringLiteral("„%1“ steht nicht auf dieser Seite").arg(search_->text().trimmed()));
        return;
    }
    const QRectF box = found->adjusted(-SearchMarginMm, -SearchMarginMm, SearchMarginMm, SearchMarginMm);
    Area area{box.left(), box.right(), box.top(), box.bottom()};
    NormaliseArea(area, sheet.width(), sheet.height());
    host_.SetArea(area);
}

void TBackdropPanel::Note(QWidget* field, const QString& text) {
    field->setToolTip(text);
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), text, field);
}

void TBackdropPanel::Draw(TCanvas& canvas, const TViewMapping& mapping, const QRect& sheetInside,
                          const QRect& visible) {
    if (!backdrop_) return;
    const QSizeF sheet = host_.SheetSizeMm();
    backdrop_->Draw(canvas, mapping, sheet.width(), sheet.height(), sheetInside, visible);
}

bool TBackdropPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedFile(drag->mimeData()).isEmpty()) return false;
        drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = DroppedFile(drop->mimeData());
        if (file.isEmpty()) return false;
        drop->acceptProposedAction();
        Open(file);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mx
