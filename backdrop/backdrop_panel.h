#pragma once
// The first tab's backdrop: a button to load the PDF the sheet was printed
// from or a scan of it, the page to show, a button to remove it and a
// search field that puts the area over a text on the page. Files may also
// be dropped onto the preview. The main window owns the panel, lets it draw
// into the preview and gives it the way to set the area.
#include <QObject>
#include <QSizeF>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRect;
class QWidget;

namespace mx {

struct Area;
struct TViewMapping;
class TBackdrop;
class TBackdropLoader;
class TCanvas;
class TNumSpinEdit;

// What the panel needs of the window.
struct TBackdropHost {
    // Sets the overprint area the way the mouse does: the fields, the edge
    // rule and the preview follow; the preview scrolls to show it.
    std::function<void(const Area&)> SetArea;
    // The sheet's size in millimetres as the last redraw found it.
    std::function<QSizeF()> SheetSizeMm;
    // Asks for a complete redraw of the preview.
    std::function<void()> Redraw;
    // How far a file being opened is, 0 to 100; 0 again when it is done.
    std::function<void(int percent)> Progress;
};

class TBackdropPanel : public QObject {
    Q_OBJECT
public:
    // Its controls go into the free row of the field strip; files dropped
    // onto dropTarget are opened.
    TBackdropPanel(QWidget* strip, QWidget* dropTarget, TBackdropHost host);
    ~TBackdropPanel() override;

    // Opens a file as the backdrop, off the window's thread: the preview
    // shows it once it is read; on failure says why and keeps the backdrop
    // there was (or none). A file being opened meanwhile is given up.
    void Open(const QString& path);
    // Gives up the file being opened, or else takes the backdrop away.
    void Remove();
    bool HasBackdrop() const { return backdrop_ != nullptr; }
    bool Loading() const { return loading_ != nullptr; }
    const TBackdrop* Backdrop() const { return backdrop_.get(); }

    // Draws the backdrop into the preview (nothing without one), within the
    // sheet's inside and the visible part.
    void Draw(TCanvas& canvas, const TViewMapping& mapping, const QRect& sheetInside, const QRect& visible);

    QPushButton* OpenButton() const { return open_; }
    TNumSpinEdit* PageField() const { return page_; }
    QPushButton* RemoveButton() const { return remove_; }
    QLineEdit* SearchField() const { return search_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenClick();
    void PageChange();
    void Search();
    // Enables the controls for what is loaded.
    void UpdateControls();
    // A short note at a field, as its tooltip shown at once.
    void Note(QWidget* field, const QString& text);

    // Ends the opening of a file, however it went.
    void LoadEnded();

    TBackdropHost host_;
    std::unique_ptr<TBackdrop> backdrop_;
    std::unique_ptr<TBackdropLoader> loading_;
    QPushButton* open_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    TNumSpinEdit* page_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLineEdit* search_ = nullptr;
};

} // namespace mx
