#pragma once
// The main window: owns every control and all state of the program. Its
// handlers are defined next to their subsystem (sheet/, style/, print/).
#include "geometry/view_mapping.h"
#include "platform/canvas.h"

#include <QWidget>
#include <memory>

namespace Ui {
class TMainForm;
}

namespace mx {

class TPaintBox;
class TStatusBar;
class TFormStorage;
class TCalibrationPanel;
class TBackdropPanel;
class TAreasPanel;
struct TPrintJob;

// Stands in for the WM_USER message: carries the new progress percentage.
class TUserMessageEvent;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    Ui::TMainForm& Controls() { return *ui; }

    // Fields, in the order the window declares them.
    TRect ProgressRect;
    int ProgressPercent = 0;
    QString ProgramDir;

    int SheetLeftPx = 0;
    int SheetRightPx = 0;
    double SheetWidthMm = 0;
    int DragLimitRight = 0;
    int DragLimitBottom = 0;
    int OriginX = 0;
    int OriginY = 0;
    int SheetTopPx = 0;
    int SheetBottomPx = 0;
    double SheetHeightMm = 0;

    double AreaLeftMm = 0;
    double AreaRightMm = 0;
    double AreaTopMm = 0;
    double AreaBottomMm = 0;
    bool AreaInitialised = false;

    bool LeftActive = false;
    bool TopActive = false;
    bool BottomActive = false;
    bool RightActive = false;
    bool OverEdge = false;
    int Dragging = 0;

    // Start-up and bottom bar.
    void FormCreate(QObject* sender);
    void FormDestroy(QObject* sender);
    void wwwBtnClick(QObject* sender);
    void ueberbtnClick(QObject* sender);
    void EndeBtnClick(QObject* sender);

    // Status bar progress.
    void StatusBar1DrawPanel(TStatusBar* statusBar, int panel, const TRect& rect);
    void SBarPaintMore();
    void SetProStatus(int value);
    void WMUser(int wParam);

    // Sheet, area, preview, rulers, mouse.
    void LeftEdChange(QObject* sender);
    void RightEdChange(QObject* sender);
    void TopEdChange(QObject* sender);
    void BottomEdChange(QObject* sender);
    void WriteBackEdges();
    void InitialiseArea();
    void PaintBox1Paint(QObject* sender);
    void ZoomEdChange(QObject* sender);
    void FormMouseWheelDown(QObject* sender);
    void FormMouseWheelUp(QObject* sender);
    void PaintBox3Paint(QObject* sender);
    void PaintBox4Paint(QObject* sender);
    void PaintBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void PaintBox1MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void PaintBox1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // Overprint style.
    void PaintBox2Paint(QObject* sender);
    void TavelColorComboBox1Change(QObject* sender);
    void TavelColorComboBox2Change(QObject* sender);
    void fillBoxClick(QObject* sender);

    // Opens a document or scan as the preview's backdrop (the command line's
    // file); says why when it cannot.
    void OpenBackdrop(const QString& file);

    // Print jobs.
    void PrintBtnClick(QObject* sender);
    void BackBtnClick(QObject* sender);
    void PrintSetupBtnClick(QObject* sender);

    // The WM_USER message number the progress message stands in for.
    static constexpr int WM_USER = 0x0400;
    // Posts the progress message to a window (as PostMessage would).
    static void PostProgress(QWidget* window, int percent);
    // Sends it (as SendMessage would): handled before returning.
    static void SendProgress(QWidget* window, int percent);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void BindHandlers();
    // The state step of the complete redraw; false when it stopped early.
    bool PreviewStateStep();
    void DrawPreview(TCanvas& canvas);
    void DrawRuler(TPaintBox& box, bool horizontal);
    int ScreenDpi() const;
    int Zoom() const;
    void RunEdgeRule(double& edge, double fieldValue);
    // Whether the user is typing into one of the four edge fields now.
    bool EdgeBeingTyped() const;
    // The end of the user's edit of an edge: reversed edges are exchanged.
    void FinishEdgeEdit();
    Area CurrentArea() const;
    // The area set as a press and a drag set it: stored, written back, drawn.
    void SetAreaAsTheMouseDoes(const Area& area);
    // Scrolls the preview so that the area is seen, centred when it fits.
    void RevealArea(const Area& area);
    // The areas a job fills now: the window's own (an edit of an edge
    // ended first), then the listed ones.
    QList<Area> JobAreas();
    // The job as the window stands now, for the current printer.
    TPrintJob TakeJob(bool back);
    void RunPrintJob(bool back);
    void FinishJob();

    std::unique_ptr<Ui::TMainForm> ui;
    // Millimetres to preview pixels and back, as the last state step found them.
    TViewMapping mapping_;
    TFormStorage* FormStorage1 = nullptr;
    // Test print and calibration on the third tab.
    TCalibrationPanel* calibration_ = nullptr;
    // The document backdrop of the preview.
    TBackdropPanel* backdrop_ = nullptr;
    // Further areas beside the window's own.
    TAreasPanel* areas_ = nullptr;
    int wheelRemainder_ = 0;
    // One failed printer read is reported once per user action.
    bool printerErrorShown_ = false;
    bool closeAfterJob_ = false;
};

} // namespace mx
