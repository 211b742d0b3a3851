#pragma once
// Further areas beside the window's own: a list per backdrop page (one
// without a backdrop), drawn numbered in the preview and filled by the same
// job. A small menu button in the field strip and the preview's context
// menu hold the commands: add the current area, remove one or all, every
// match of the search, the proposals and the saved sets. With the list
// empty the window is as it always was.
#include "areas/area_list.h"

#include <QObject>
#include <QPointF>
#include <QSizeF>
#include <functional>
#include <memory>

class QMenu;
class QPoint;
class QToolButton;
class QWidget;

namespace mx {

struct TViewMapping;
class TAreaSetStore;
class TBackdropPanel;
class TCanvas;

// What the panel needs of the window.
struct TAreasHost {
    // The window's own area, and setting it as the mouse does.
    std::function<Area()> CurrentArea;
    std::function<void(const Area&)> SetArea;
    std::function<QSizeF()> SheetSizeMm;
    std::function<void()> Redraw;
    // The status bar's text panel.
    std::function<void(const QString&)> ShowStatus;
    // A preview pixel's place on the sheet, in millimetres.
    std::function<QPointF(const QPoint&)> PreviewToMm;
};

class TAreasPanel : public QObject {
    Q_OBJECT
public:
    // Its button goes into the field strip's free corner; preview gets the
    // context menu; the backdrop gives the page and its words.
    TAreasPanel(QWidget* strip, QWidget* preview, const TBackdropPanel& backdrop, const QString& settingsFile,
                TAreasHost host);
    ~TAreasPanel() override;

    // The listed areas of the page shown.
    const TAreaList& Listed() const;
    // The listed areas a job fills beside the window's own (one that equals
    // it is filled once).
    QList<Area> JobAreas() const;
    // Draws the listed areas, numbered, distinct from the window's own and
    // clear against a backdrop.
    void Draw(TCanvas& canvas, const TViewMapping& mapping) const;
    // A click at a point of the sheet on a listed area: that area becomes
    // the window's own, which takes its place in the list unless it is
    // listed already. False when no listed area lies there.
    bool PickAt(double xMm, double yMm);
    // Says in the status bar how many areas a job fills, of which page.
    void ShowStatus();

    // The commands.
    void AddCurrent();
    void Remove(int index);
    void RemoveAll();
    // Every match of the backdrop's search text on its page.
    void MarkAllMatches();
    void ShowProposals();
    void ShowSets();
    // Adds areas found or loaded: the first replaces the window's own while
    // that still covers the whole sheet (a job must not fill that by
    // surprise), the rest are listed. Raises EAreas beyond MaxAreas.
    void AddAreas(const QList<Area>& areas);

    QToolButton* MenuButton() const { return button_; }
    // The menu, its entries made for what is there now; under is the
    // listed area under the mouse (-1: none).
    QMenu* Menu(int under = -1);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TAreaList& Current();
    int Page() const;
    QSizeF Sheet() const { return host_.SheetSizeMm(); }
    void Changed();

    const TBackdropPanel& backdrop_;
    TAreasHost host_;
    TDocumentAreas areas_;
    std::unique_ptr<TAreaSetStore> sets_;
    QToolButton* button_ = nullptr;
    QMenu* menu_ = nullptr;
    QWidget* preview_ = nullptr;
};

} // namespace mx
