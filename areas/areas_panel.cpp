#include "areas/areas_panel.h"

#include "areas/area_error.h"
#include "areas/area_set_store.h"
#include "areas/area_sets_dialog.h"
#include "areas/proposals.h"
#include "areas/proposals_dialog.h"
#include "backdrop/backdrop.h"
#include "backdrop/backdrop_panel.h"
#include "geometry/view_mapping.h"
#include "platform/application.h"
#include "platform/canvas.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>
#include <QWidget>

namespace mx {

namespace {

// Listed areas: a single hatch and a solid outline in a dark colour, so
// they differ from the window's own (silver cross-hatch, dotted outline)
// and stand out by far more than 40 levels against every backdrop tone.
constexpr TColor ListedColor = clPurple;
constexpr int NumberPixels = 11;

bool Same(const Area& a, const Area& b) {
    return a.Left == b.Left && a.Right == b.Right && a.Top == b.Top && a.Bottom == b.Bottom;
}

} // namespace

TAreasPanel::TAreasPanel(QWidget* strip, QWidget* preview, const TBackdropPanel& backdrop, const QString& settingsFile,
                         TAreasHost host)
    : QObject(strip), backdrop_(backdrop), host_(std::move(host)), sets_(std::make_unique<TAreaSetStore>(settingsFile)),
      preview_(preview) {
    // Right of the edge fields, where the strip is free.
    button_ = new QToolButton(strip);
    button_->setObjectName(QStringLiteral("AreasBtn"));
    button_->setGeometry(384, 8, 26, 45);
    button_->setText(QStringLiteral("+"));
    button_->setToolTip(QStringLiteral("Weitere Bereiche: den gewählten Bereich zur Liste hinzufügen (Einfg), "
                                       "Fundstellen, Vorschläge und Vorlagen; auch im Kontextmenü der Vorschau"));
    button_->setPopupMode(QToolButton::InstantPopup);
    menu_ = new QMenu(button_);
    button_->setMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, [this] { Menu(); });
    preview->setContextMenuPolicy(Qt::DefaultContextMenu);
    preview->installEventFilter(this);
    auto* add = new QShortcut(QKeySequence(Qt::Key_Insert), strip->window());
    connect(add, &QShortcut::activated, this, [this] { Application()->Guard([this] { AddCurrent(); }); });
}

TAreasPanel::~TAreasPanel() = default;

int TAreasPanel::Page() const { return backdrop_.Backdrop() ? backdrop_.Backdrop()->Page() : 0; }

TAreaList& TAreasPanel::Current() { return areas_.OfPage(Page()); }

const TAreaList& TAreasPanel::Listed() const { return areas_.OfPage(Page()); }

QList<Area> TAreasPanel::JobAreas() const {
    QList<Area> job;
    const Area own = host_.CurrentArea();
    for (const Area& a : Listed().Areas())
        if (!Same(a, own)) job.append(a);
    return job;
}

void TAreasPanel::Changed() {
    host_.Redraw();
    ShowStatus();
}

void TAreasPanel::ShowStatus() {
    if (areas_.Total() == 0) {
        host_.ShowStatus(QString());
        return;
    }
    const int filled = 1 + int(JobAreas().size());
    const QString areas = filled == 1 ? QStringLiteral("1 Bereich") : QStringLiteral("%1 Bereiche").arg(filled);
    host_.ShowStatus(Page() > 0 ? QStringLiteral("Seite %1: ein Auftrag füllt %2").arg(Page()).arg(areas)
                                : QStringLiteral("Ein Auftrag füllt %1").arg(areas));
}

void TAreasPanel::Draw(TCanvas& c, const TViewMapping& mapping) const {
    const QList<Area>& areas = Listed().Areas();
    if (areas.isEmpty()) return;
    c.Font = QFont(c.Font.family());
    c.Font.setPixelSize(NumberPixels);
    c.Font.setBold(true);
    for (int i = 0; i < areas.size(); ++i) {
        const TRect r = mapping.ToPreview(areas[i]);
        c.Pen.Style = psSolid;
        c.Pen.Color = ListedColor;
        c.SetBrushColor(ListedColor);
        c.SetBrushStyle(bsBDiagonal);
        c.Rectangle(r);
        const QString number = QString::number(i + 1);
        const TRect label{r.Left, r.Top, r.Left + c.TextWidth(number) + 4, r.Top + c.TextHeight(number) + 1};
        c.SetBrushColor(clWhite);
        c.SetBrushStyle(bsSolid);
        c.Rectangle(label);
        c.FontColor = ListedColor;
        c.SetBkMode(TRANSPARENT);
        c.TextOut(label.Left + 2, label.Top, number);
    }
    c.Pen.Color = clBlack;
}

bool TAreasPanel::PickAt(double xMm, double yMm) {
    TAreaList& list = Current();
    const int index = list.IndexAt(xMm, yMm);
    if (index < 0) return false;
    const Area picked = list.At(index);
    const Area own = host_.CurrentArea();
    const bool ownListed =
        std::any_of(list.Areas().begin(), list.Areas().end(), [&](const Area& a) { return Same(a, own); });
    if (ownListed)
        list.Remove(index);
    else
        list.Replace(index, own, Sheet());
    host_.SetArea(picked);
    Changed();
    return true;
}

void TAreasPanel::AddCurrent() {
    const Area own = host_.CurrentArea();
    TAreaList& list = Current();
    if (std::any_of(list.Areas().begin(), list.Areas().end(), [&](const Area& a) { return Same(a, own); })) return;
    list.Add(own, Sheet());
    Changed();
}

void TAreasPanel::Remove(int index) {
    TAreaList& list = Current();
    if (index < 0 || index >= list.Count()) return;
    list.Remove(index);
    Changed();
}

void TAreasPanel::RemoveAll() {
    Current().Clear();
    Changed();
}

void TAreasPanel::AddAreas(const QList<Area>& areas) {
    if (areas.isEmpty()) return;
    const QSizeF sheet = Sheet();
    const Area own = host_.CurrentArea();
    const bool ownIsWholeSheet =
        own.Left <= 0 && own.Top <= 0 && own.Right >= sheet.width() - 0.05 && own.Bottom >= sheet.height() - 0.05;
    QList<Area> listed = ownIsWholeSheet ? areas.mid(1) : areas;
    Current().Add(listed, sheet);
    if (ownIsWholeSheet) host_.SetArea(areas.first());
    Changed();
}

void TAreasPanel::MarkAllMatches() {
    const TBackdrop* backdrop = backdrop_.Backdrop();
    const QString text = backdrop_.SearchField()->text().trimmed();
    if (!backdrop || text.isEmpty()) return;
    const QSizeF sheet = Sheet();
    QList<Area> found;
    for (const QRectF& box : backdrop->FindAll(text, sheet.width(), sheet.height())) found.append(AreaAround(box, 1.0));
    if (found.isEmpty()) {
        Application()->MessageBox(QStringLiteral("„%1“ steht nicht auf dieser Seite.").arg(text),
                                  QStringLiteral("Alle Fundstellen"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    AddAreas(found);
}

void TAreasPanel::ShowProposals() {
    const TBackdrop* backdrop = backdrop_.Backdrop();
    if (!backdrop) return;
    const QSizeF sheet = Sheet();
    TProposalsDialog dialog(FindProposals(backdrop->WordsMm(sheet.width(), sheet.height())), preview_->window());
    if (Application()->ExecDialog(dialog) != QDialog::Accepted) return;
    QList<Area> chosen;
    for (const TProposal& p : dialog.Chosen())
        for (const QRectF& box : p.Boxes) chosen.append(AreaAround(box, 1.0));
    AddAreas(chosen);
}

void TAreasPanel::ShowSets() {
    QList<Area> areas{host_.CurrentArea()};
    areas.append(JobAreas());
    const QSizeF page =
        backdrop_.Backdrop() ? backdrop_.Backdrop()->PlacementMm(Sheet().width(), Sheet().height()).size() : Sheet();
    TAreaSetsDialog dialog(*sets_, {QString(), areas, page}, preview_->window());
    if (Application()->ExecDialog(dialog) != QDialog::Accepted || !dialog.Loaded()) return;
    const TAreaSet& set = *dialog.Loaded();
    if (MadeForOtherPage(set, page) &&
        Application()->MessageBox(QStringLiteral("Die Vorlage „%1“ wurde für ein Blatt von %2 × %3 mm angelegt, "
                                                 "dieses ist %4 × %5 mm groß. Soll sie trotzdem verwendet werden?")
                                      .arg(set.Name)
                                      .arg(qRound(set.PageMm->width()))
                                      .arg(qRound(set.PageMm->height()))
                                      .arg(qRound(page.width()))
                                      .arg(qRound(page.height())),
                                  QStringLiteral("Vorlage laden"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (set.Areas.isEmpty()) return;
    Current().Assign(set.Areas.mid(1), Sheet());
    host_.SetArea(set.Areas.first());
    Changed();
}

QMenu* TAreasPanel::Menu(int under) {
    menu_->clear();
    const auto add = [this](const QString& text, auto command, bool enabled = true) {
        QAction* action = menu_->addAction(text);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [command] { Application()->Guard(command); });
        return action;
    };
    add(QStringLiteral("Bereich zur &Liste hinzufügen\tEinfg"), [this] { AddCurrent(); });
    if (under >= 0)
        add(QStringLiteral("Bereich %1 aus der Liste &entfernen").arg(under + 1), [this, under] { Remove(under); });
    add(
        QStringLiteral("&Alle Bereiche der Liste entfernen"), [this] { RemoveAll(); }, !Listed().IsEmpty());
    menu_->addSeparator();
    const TBackdrop* backdrop = backdrop_.Backdrop();
    const bool text = backdrop && backdrop->HasText();
    const QString search = backdrop_.SearchField()->text().trimmed();
    add(
        search.isEmpty() ? QStringLiteral("Alle &Fundstellen der Suche als Bereiche")
                         : QStringLiteral("Alle &Fundstellen von „%1“ als Bereiche").arg(search),
        [this] { MarkAllMatches(); }, text && !search.isEmpty());
    add(
        QStringLiteral("&Vorschläge..."), [this] { ShowProposals(); }, text);
    add(QStringLiteral("V&orlagen..."), [this] { ShowSets(); });
    return menu_;
}

bool TAreasPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == preview_ && event->type() == QEvent::ContextMenu) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        const QPointF mm = host_.PreviewToMm(menuEvent->pos());
        Menu(Listed().IndexAt(mm.x(), mm.y()))->popup(menuEvent->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mx
