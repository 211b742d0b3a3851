#pragma once
// The first tab's backdrop: buttons to load the PDF the sheet was printed
// from or a scan of it, or to scan the sheet in place, the page to show (or,
// for a page just scanned, a button to save it), a button to remove it and
// a search field that puts the area over a text on the page. A scan's text
// is read after it is shown. Files may also be dropped onto the preview.
// The main window owns the panel, lets it draw into the preview and gives
// it the way to set the area.
#include <QByteArray>
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
struct TScanRequest;
struct TViewMapping;
class TBackdrop;
class TBackdropLoader;
class TBackgroundJob;
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
    // How far a file being opened, a scan or the reading of its text is, 0
    // to 100; 0 again when it is done.
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
    // there was (or none). Whatever was being done meanwhile is given up.
    void Open(const QString& path);
    // Asks for the scanner and its settings (this run's last ones proposed)
    // and scans the sheet's size from the scanner's corner, off the
    // window's thread; the page becomes the backdrop as its PNG file would.
    // On failure says why and keeps the backdrop there was.
    void Scan();
    // Saves the page just scanned as PNG with its resolution, asking where.
    void SaveScan();
    // Gives up what is being done (opening, scanning, reading), or else
    // takes the backdrop away.
    void Remove();

    bool HasBackdrop() const { return backdrop_ != nullptr; }
    const TBackdrop* Backdrop() const { return backdrop_.get(); }
    // A file or a scanned page being made the backdrop.
    bool Loading() const { return activity_ == TActivity::Loading; }
    bool Scanning() const { return activity_ == TActivity::Scanning; }
    // The text of the scan that is the backdrop being read.
    bool Reading() const { return activity_ == TActivity::Reading; }
    bool Busy() const { return activity_ != TActivity::None; }

    // Draws the backdrop into the preview (nothing without one), within the
    // sheet's inside and the visible part.
    void Draw(TCanvas& canvas, const TViewMapping& mapping, const QRect& sheetInside, const QRect& visible);

    QPushButton* OpenButton() const { return open_; }
    QPushButton* ScanButton() const { return scan_; }
    TNumSpinEdit* PageField() const { return page_; }
    QPushButton* SaveScanButton() const { return save_; }
    QPushButton* RemoveButton() const { return remove_; }
    QLineEdit* SearchField() const { return search_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class TActivity { None, Scanning, Loading, Reading };

    void OpenClick();
    void PageChange();
    void Search();
    // Enables the controls for what is loaded and being done.
    void UpdateControls();
    // A short note at a field, as its tooltip shown at once.
    void Note(QWidget* field, const QString& text);

    // Makes job (owned from now on) the one being done.
    void Adopt(TBackgroundJob* job, TActivity activity);
    // Gives up what is being done; it ends on its own thread.
    void GiveUp();
    // Ends what was being done, however it went.
    void JobEnded();
    // Makes the backdrop what loader makes.
    void Load(TBackdropLoader* loader);
    void Loaded(TBackdropLoader& loader);
    // Reads the text of a scan that is the backdrop unless it has been read
    // (or its reading cancelled) or something else is being done.
    void ReadIfUnread();
    void ReadingFailed(const QString& message);

    QWidget* strip_;
    TBackdropHost host_;
    std::unique_ptr<TBackdrop> backdrop_;
    // The backdrop's PNG file when it was scanned and not opened.
    QByteArray scanPng_;
    bool unread_ = false;
    std::unique_ptr<TBackgroundJob> job_;
    TActivity activity_ = TActivity::None;
    std::unique_ptr<TScanRequest> lastScan_;

    QPushButton* open_ = nullptr;
    QPushButton* scan_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    TNumSpinEdit* page_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLineEdit* search_ = nullptr;
};

} // namespace mx
