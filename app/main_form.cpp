#include "app/main_form.h"

#include "app/about_box.h"
#include "app/maker.h"
#include "areas/areas_panel.h"
#include "backdrop/backdrop_panel.h"
#include "calibration/calibration_panel.h"
#include "coverage/coverage_panel.h"
#include "platform/application.h"
#include "platform/fonts.h"
#include "platform/loading.h"
#include "platform/printer.h"
#include "platform/status_bar.h"
#include "platform/window_placement.h"
#include "settings/form_storage.h"
#include "settings/main_form_storage.h"
#include "ui_main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMouseEvent>
#include <QShowEvent>
#include <QWheelEvent>

// The resources live in a static library: register them explicitly.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace mx {

namespace {

const QEvent::Type UserMessageType = static_cast<QEvent::Type>(QEvent::User + TMainForm::WM_USER);

} // namespace

class TUserMessageEvent : public QEvent {
public:
    explicit TUserMessageEvent(int wParam) : QEvent(UserMessageType), WParam(wParam) {}
    int WParam;
};

TMainForm::TMainForm(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TMainForm>()) {
    InitResources();
    {
        TLoadingScope loading(this);
        ui->setupUi(this);
        UseClassicFormLook(*this);
        for (TShadowLabel* headline : {ui->ShadowLabel8, ui->ShadowLabel2, ui->ShadowLabel4})
            headline->setFont(WindowsFont("MS Sans Serif", 11, QFont::Bold));
        for (TShadowLabel* title : {ui->ShadowLabel27, ui->ShadowLabel1, ui->ShadowLabel3}) {
            title->setFont(WindowsFont("Arial Black", 19, QFont::Black));
            QPalette tp = title->palette();
            tp.setColor(QPalette::WindowText, ToQColor(clMaroon));
            title->setPalette(tp);
        }
        // The working areas show the window's button face, not the tab pane.
        for (QWidget* page : {ui->TabSheet1, ui->TabSheet2, ui->TabSheet3}) page->setAutoFillBackground(true);
        ui->Label11->setFont(WindowsFont("Arial", 13, QFont::Bold));
        for (TPaintBox* ruler : {ui->PaintBox3, ui->PaintBox4}) ruler->setFont(WindowsFont("MS Serif", 9));
        ui->wwwBtn->setText(QString(MakerAddress).remove("https://"));
        BindHandlers();
        // The window has no minimum size: its parts are cut, as in a
        // window made smaller than its contents.
        layout()->setSizeConstraint(QLayout::SetNoConstraint);
        SetFormPosition(this, TPosition::poScreenCenter);
        FormStorage1 = AttachMainFormStorage(this);
        backdrop_ = new TBackdropPanel(ui->FieldStrip, ui->ScrollBox1->viewport(),
                                       {[this](const Area& a) {
                                            SetAreaAsTheMouseDoes(a);
                                            RevealArea(a);
                                        },
                                        [this] { return QSizeF(SheetWidthMm, SheetHeightMm); },
                                        [this] {
                                            PaintBox1Paint(this);
                                            areas_->ShowStatus();
                                        },
                                        [this](int percent) { SendProgress(this, percent); }});
        areas_ = new TAreasPanel(
            ui->FieldStrip, ui->PaintBox1, *backdrop_, FormStorage1->IniFileNameInUse(),
            {[this] { return CurrentArea(); },
             [this](const Area& a) {
                 SetAreaAsTheMouseDoes(a);
                 RevealArea(a);
             },
             [this] { return QSizeF(SheetWidthMm, SheetHeightMm); }, [this] { PaintBox1Paint(this); },
             [this](const QString& text) { ui->StatusBar1->SetPanelText(text); },
             [this](const QPoint& p) { return QPointF(mapping_.ToMmX(p.x()), mapping_.ToMmY(p.y())); }});
        calibration_ = new TCalibrationPanel(ui->PrintStrip, ui->WarningLayout, FormStorage1->IniFileNameInUse(),
                                             [this] { return JobAreas(); });
        // "Prüfen...": a scan of the printed sheet against the areas and fill of the jobs.
        new TCoveragePanel(ui->PrintStrip, {[this] { return JobAreas(); },
                                            [this] {
                                                return TPrintedFill{ui->fillBox->ItemIndex(),
                                                                    ui->TavelColorComboBox2->ColorValue(),
                                                                    ui->TavelColorComboBox1->ColorValue()};
                                            }});
    }
    // The wheel never hands out the focus (a combo box's default): a box the
    // user has not clicked leaves the wheel to the preview.
    for (QWidget* child : findChildren<QWidget*>())
        if ((child->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus) child->setFocusPolicy(Qt::StrongFocus);
    // The print system answered what the preview and the third tab wait for.
    Printer()->OnReady = [this] {
        ui->PaintBox1->Invalidate();
        calibration_->ShowCorrection();
    };
    qApp->installEventFilter(this);
    FormCreate(this);
}

TMainForm::~TMainForm() {
    Printer()->OnReady = nullptr;
    qApp->removeEventFilter(this);
    if (FormStorage1) FormStorage1->WindowDestroying();
    FormDestroy(this);
}

void TMainForm::BindHandlers() {
    auto bind = [this](void (TMainForm::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    ui->LeftEd->OnChange = bind(&TMainForm::LeftEdChange);
    ui->RightEd->OnChange = bind(&TMainForm::RightEdChange);
    ui->TopEd->OnChange = bind(&TMainForm::TopEdChange);
    ui->BottomEd->OnChange = bind(&TMainForm::BottomEdChange);
    for (TNumSpinEdit* edge : {ui->LeftEd, ui->RightEd, ui->TopEd, ui->BottomEd})
        edge->OnEditEnd = [this](QObject*) { FinishEdgeEdit(); };
    ui->ZoomEd->OnChange = bind(&TMainForm::ZoomEdChange);
    ui->PaintBox1->OnPaint = [this](TPaintBox*) {
        if (PreviewStateStep()) DrawPreview(ui->PaintBox1->Canvas());
    };
    ui->PaintBox3->OnPaint = [this](TPaintBox*) { PaintBox3Paint(ui->PaintBox3); };
    ui->PaintBox4->OnPaint = [this](TPaintBox*) { PaintBox4Paint(ui->PaintBox4); };
    ui->PaintBox1->setMouseTracking(true);
    ui->PaintBox1->installEventFilter(this);
    ui->PaintBox2->OnPaint = [this](TPaintBox*) { PaintBox2Paint(ui->PaintBox2); };
    ui->TavelColorComboBox1->OnChange = bind(&TMainForm::TavelColorComboBox1Change);
    ui->TavelColorComboBox2->OnChange = bind(&TMainForm::TavelColorComboBox2Change);
    ui->fillBox->OnClick = bind(&TMainForm::fillBoxClick);
    ui->PrintBtn->OnClick = bind(&TMainForm::PrintBtnClick);
    ui->PrintSetupBtn->OnClick = bind(&TMainForm::PrintSetupBtnClick);
    connect(ui->BackBtn, &TBitBtnXP::OnClick, this, [this] { BackBtnClick(ui->BackBtn); });
    ui->StatusBar1->OnDrawPanel = [this](TStatusBar* bar, int panel, const TRect& rect) {
        StatusBar1DrawPanel(bar, panel, rect);
    };
    connect(ui->wwwBtn, &QPushButton::clicked, this, [this] { wwwBtnClick(ui->wwwBtn); });
    ui->ueberbtn->OnClick = bind(&TMainForm::ueberbtnClick);
    ui->endebtn->OnClick = bind(&TMainForm::EndeBtnClick);
    ui->Panel7->installEventFilter(this);
    // The preview's inputs may have changed behind a cached picture: the
    // next paint the window system asks for is a complete redraw.
    ui->ScrollBox1->installEventFilter(this);
    connect(ui->PageControl2, &QTabWidget::currentChanged, this, [this](int index) {
        if (ui->PageControl2->widget(index) == ui->TabSheet1) ui->PaintBox1->Invalidate();
        if (ui->PageControl2->widget(index) == ui->TabSheet3) calibration_->ShowCorrection();
    });
}

void TMainForm::FormCreate(QObject*) {
    QString dir = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
    if (!dir.endsWith('/')) dir += '/';
    ProgramDir = dir;
    Application()->HelpFile = ProgramDir + Application()->HelpFile;
}

void TMainForm::FormDestroy(QObject*) { Application()->HelpCommand(HELP_QUIT, 0); }

void TMainForm::wwwBtnClick(QObject*) { Application()->ShellOpen(MakerAddress); }

void TMainForm::ueberbtnClick(QObject*) {
    TAboutBox box(this);
    Application()->ExecDialog(box);
}

void TMainForm::EndeBtnClick(QObject*) { close(); }

void TMainForm::OpenBackdrop(const QString& file) { backdrop_->Open(file); }

void TMainForm::showEvent(QShowEvent* e) {
    // Centred unless the settings store put the window at a stored place.
    if (!e->spontaneous()) ApplyFormPosition(this);
    QWidget::showEvent(e);
}

void TMainForm::closeEvent(QCloseEvent* e) {
    // A job processes events between its pages; the window that owns it
    // must outlive it, so it closes when the job is done.
    if (Printer()->Printing()) {
        closeAfterJob_ = true;
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

bool TMainForm::event(QEvent* e) {
    if (e->type() == UserMessageType) {
        WMUser(static_cast<TUserMessageEvent*>(e)->WParam);
        return true;
    }
    return QWidget::event(e);
}

void TMainForm::PostProgress(QWidget* window, int percent) {
    QCoreApplication::postEvent(window, new TUserMessageEvent(percent));
}

void TMainForm::SendProgress(QWidget* window, int percent) {
    TUserMessageEvent message(percent);
    QCoreApplication::sendEvent(window, &message);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
    // A printer failure is reported again after the next user action.
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::KeyPress) printerErrorShown_ = false;
    if (watched == ui->Panel7 && e->type() == QEvent::Resize) {
        // The right-hand button panel keeps to the bar's right end.
        ui->Panel8->move(ui->Panel7->width() - ui->Panel8->width(), 0);
        return false;
    }
    if (watched == ui->ScrollBox1 && e->type() == QEvent::Resize) {
        ui->PaintBox1->Invalidate();
        return false;
    }
    if (watched == ui->PaintBox1) {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* m = static_cast<QMouseEvent*>(e);
            const QPoint p = m->position().toPoint();
            PaintBox1MouseDown(m->button(), m->modifiers(), p.x(), p.y());
            return true;
        }
        case QEvent::MouseMove: {
            auto* m = static_cast<QMouseEvent*>(e);
            const QPoint p = m->position().toPoint();
            PaintBox1MouseMove(m->modifiers(), p.x(), p.y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* m = static_cast<QMouseEvent*>(e);
            const QPoint p = m->position().toPoint();
            PaintBox1MouseUp(m->button(), m->modifiers(), p.x(), p.y());
            return true;
        }
        default: break;
        }
    }
    if (e->type() == QEvent::Wheel) {
        auto* target = qobject_cast<QWidget*>(watched);
        if (!target || target->window() != this) return false;
        // The wheel goes to the focused control when that control uses it
        // (a colour box), else to the window, which scrolls the preview.
        auto* focusedBox = qobject_cast<QComboBox*>(QApplication::focusWidget());
        if (focusedBox && focusedBox->window() == this) {
            if (target == focusedBox) return false;
            auto* wheel = static_cast<QWheelEvent*>(e);
            const QPointF centre = QRectF(focusedBox->rect()).center();
            QWheelEvent forwarded(centre, focusedBox->mapToGlobal(centre), wheel->pixelDelta(), wheel->angleDelta(),
                                  wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
            QCoreApplication::sendEvent(focusedBox, &forwarded);
            return true;
        }
        // Consumed here, at its first receiver, so each notch scrolls once.
        auto* wheel = static_cast<QWheelEvent*>(e);
        wheelRemainder_ += wheel->angleDelta().y();
        while (wheelRemainder_ <= -120) {
            wheelRemainder_ += 120;
            FormMouseWheelDown(this);
        }
        while (wheelRemainder_ >= 120) {
            wheelRemainder_ -= 120;
            FormMouseWheelUp(this);
        }
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace mx
