// The main window's frame, bottom bar, error handler and progress bar.
#include "controls/color_combo_box.h"
#include "controls/image_btn.h"
#include "controls/num_spin_edit.h"
#include "controls/shadow_label.h"
#include "platform/exception.h"
#include "platform/status_bar.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace mx;
using namespace mx::test;

namespace {

class MainWindow : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
    }
};

} // namespace

TEST(ErrorHandler, AppendsAFullStopOnlyAfterLettersDigitsAndTheLike) {
    EXPECT_EQ(WithFullStop("Das Drucken ist im Gang"), "Das Drucken ist im Gang.");
    EXPECT_EQ(WithFullStop("Fehler 42"), "Fehler 42.");
    EXPECT_EQ(WithFullStop("Wirklich?"), "Wirklich?.");
    EXPECT_EQ(WithFullStop("Schon da."), "Schon da.");
    EXPECT_EQ(WithFullStop("Achtung!"), "Achtung!");
    EXPECT_EQ(WithFullStop(""), "");
}

TEST(ErrorHandler, AnExceptionEscapingAHandlerIsShownAndTheLoopGoesOn) {
    QWidget target;
    bool ranAfter = false;
    QTimer::singleShot(0, &target, [] { throw Exception("Kaputt"); });
    QTimer::singleShot(5, &target, [&] { ranAfter = true; });
    QTest::qWait(30);
    EXPECT_TRUE(ranAfter);
    ASSERT_EQ(Answers().Errors().size(), 1);
    EXPECT_EQ(Answers().Errors()[0], "Kaputt.");
    EXPECT_EQ(Answers().messages[0].caption, "Marbelux 1.0");
}

TEST_F(MainWindow, FrameAsDescribed) {
    EXPECT_EQ(form->windowTitle(), "Orvenal Marbelux 1.0");
    EXPECT_EQ(form->size(), QSize(622, 476));
    QTabWidget* tabs = ui().PageControl2;
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "Bereich wählen");
    EXPECT_EQ(tabs->tabText(1), "Art der Vernichtung");
    EXPECT_EQ(tabs->tabText(2), "Dokument vernichten");
    EXPECT_EQ(tabs->currentIndex(), 0);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(tabs->tabIcon(i).isNull());
    EXPECT_EQ(ui().StatusBar1->height(), 19);
    EXPECT_EQ(ui().Panel7->height(), 41);
    // The right-hand buttons keep to the bottom bar's right end.
    EXPECT_EQ(ui().Panel8->geometry().right(), ui().Panel7->width() - 1);
    form->resize(800, 600);
    Flush();
    EXPECT_EQ(ui().Panel8->geometry().right(), ui().Panel7->width() - 1);
    EXPECT_EQ(ui().endebtn->size(), QSize(101, 30));
    EXPECT_EQ(ui().ueberbtn->toolTip(), "Informationen über das Programm");
}

TEST_F(MainWindow, IconIsTheProgramsOwnAndTitlesAreExactlyTheirTexts) {
    const QImage ours = QIcon(":/icons/marbelux.png").pixmap(64).toImage();
    ASSERT_FALSE(ours.isNull());
    EXPECT_EQ(form->windowIcon().pixmap(64).toImage(), ours);
    EXPECT_EQ(QGuiApplication::windowIcon().pixmap(64).toImage(), ours);
    // No display name of its own, which Qt would append to every title.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    EXPECT_EQ(form->windowHandle()->title(), "Orvenal Marbelux 1.0");
}

TEST_F(MainWindow, TheWindowHasNoMinimumSize) {
    form->resize(200, 150);
    Flush();
    EXPECT_EQ(form->size(), QSize(200, 150));
    EXPECT_EQ(form->minimumSize(), QSize(0, 0));
}

TEST_F(MainWindow, TextsReadAsMeantWithoutTheFormerMisspellings) {
    EXPECT_EQ(ui().ShadowLabel4->Caption(), "Dokument vernichten - Sie brauchen nun nur noch auf \"Go!\" zu klicken");
    const QString warning = ui().Label11->text();
    EXPECT_TRUE(warning.startsWith("ACHTUNG: Das Dokument, welches sich zum Zeitpunkt des Ausdruckes im "
                                   "Druckerschacht befindet wird vernichtet werden!"));
    EXPECT_TRUE(warning.contains("Die Vernichtung ist nicht mehr rückgängig zu machen!"));
    EXPECT_TRUE(
        warning.endsWith("Das zusätzliche Bedrucken der Rückseite bringt zusätzliche Sicherheit bei der Vernichtung"));
    EXPECT_EQ(ui().CopiesED->toolTip(), "Anzahl gleichartiger Dokumente die auf einmal vernichtet werden sollen");
}

TEST_F(MainWindow, TheWheelOverAColourBoxWithoutFocusScrollsThePreview) {
    ui().ZoomEd->setValue(200);
    Flush();
    QTabBar* tabs = ui().PageControl2->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    Flush();
    // As a person does it: a fill button clicked, then the mouse over the box.
    QWidget* fillButton = ui().fillBox->Button(2);
    ASSERT_NE(fillButton, nullptr);
    QTest::mouseClick(fillButton, Qt::LeftButton, {}, QPoint(6, fillButton->height() / 2));
    QScrollBar* v = ui().ScrollBox1->verticalScrollBar();
    v->setValue(0);
    TTavelColorComboBox* box = ui().TavelColorComboBox2;
    ASSERT_FALSE(box->hasFocus());
    // White is the last fixed colour: one more notch there would open the chooser.
    box->setColorValue(clWhite);
    SendWheel(box, -3);
    EXPECT_EQ(box->ColorValue(), clWhite);
    EXPECT_FALSE(box->hasFocus());
    EXPECT_EQ(v->value(), 90);
    EXPECT_EQ(Answers().colorRequests.size(), 0u);
    // With the focus the box takes the wheel, wherever the mouse is.
    box->setFocus();
    box->setColorValue(clYellow);
    SendWheel(ui().PaintBox2, -1);
    EXPECT_NE(box->ColorValue(), clYellow);
    EXPECT_EQ(v->value(), 90);
}

TEST_F(MainWindow, TheOpenColourListShowsThatMoreEntriesFollow) {
    QTabBar* tabs = ui().PageControl2->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    Flush();
    TTavelColorComboBox* box = ui().TavelColorComboBox1;
    box->showPopup();
    Flush();
    EXPECT_EQ(box->count(), 17);
    EXPECT_TRUE(box->view()->verticalScrollBar()->isVisible());
    box->hidePopup();
}

TEST_F(MainWindow, QtsOwnDialogsSpeakGerman) {
    QFileDialog files(form.get(), "Druckausgabe speichern");
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    QStringList buttons;
    for (QPushButton* b : files.findChildren<QPushButton*>()) buttons << b->text().remove('&');
    EXPECT_TRUE(buttons.contains("Speichern")) << buttons.join(", ").toStdString();
    EXPECT_TRUE(buttons.contains("Abbrechen")) << buttons.join(", ").toStdString();
    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    EXPECT_EQ(colours.windowTitle(), "Farbauswahl");
}

TEST_F(MainWindow, ProgramDirEndsWithOneSeparator) {
    EXPECT_TRUE(form->ProgramDir.endsWith('/'));
    EXPECT_FALSE(form->ProgramDir.endsWith("//"));
    EXPECT_TRUE(QFileInfo(form->ProgramDir).isDir());
}

TEST_F(MainWindow, HomepageButtonOpensTheMakersSite) {
    QStringList opened;
    Application()->ShellHook = [&](const QString& url) {
        opened << url;
        return false; // a failing shell passes silently
    };
    QTest::mouseClick(ui().wwwBtn, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].contains("orvenal"));
    EXPECT_TRUE(Answers().messages.empty());
}

TEST_F(MainWindow, ExitButtonAndCloseBoxBothCloseTheWindow) {
    QTest::mouseClick(ui().endebtn, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(form->isVisible());
    form->show();
    Flush();
    form->close();
    EXPECT_FALSE(form->isVisible());
    // Destroying the window sends the help system its quit command.
    Application()->LastHelpCommand = -1;
    form.reset();
    EXPECT_EQ(Application()->LastHelpCommand, HELP_QUIT);
}

TEST_F(MainWindow, ProgressBarGrowsInPlaceAndShrinksByRepaint) {
    TStatusBar* bar = ui().StatusBar1;
    const TRect panel{250, 3, 600, 18};
    form->StatusBar1DrawPanel(bar, 1, panel);
    EXPECT_EQ(form->ProgressRect, panel);
    form->SetProStatus(50);
    EXPECT_EQ(bar->PixelAt(250, 10), clNavy);
    EXPECT_EQ(bar->PixelAt(424, 10), clNavy);
    EXPECT_NE(bar->PixelAt(425, 10), clNavy);

    // Rising values draw directly; a falling one repaints the whole bar.
    const int paints = bar->PaintCount();
    form->SetProStatus(60);
    form->SetProStatus(60);
    EXPECT_EQ(bar->PaintCount(), paints);
    form->SetProStatus(5);
    EXPECT_EQ(bar->PaintCount(), paints + 1);
    const TRect real = bar->PanelRect(1);
    EXPECT_EQ(form->ProgressRect, real);
    const int shortEnd = real.Left + real.Width() * 5 / 100;
    EXPECT_EQ(bar->PixelAt(real.Left, 10), clNavy);
    EXPECT_NE(bar->PixelAt(shortEnd + 2, 10), clNavy);
}

TEST_F(MainWindow, ProgressMessageSetsThePercentage) {
    TMainForm::PostProgress(form.get(), 30);
    Flush();
    EXPECT_EQ(form->ProgressPercent, 30);
    TMainForm::SendProgress(form.get(), 100);
    EXPECT_EQ(form->ProgressPercent, 100);
    const TRect r = ui().StatusBar1->PanelRect(1);
    EXPECT_EQ(ui().StatusBar1->PixelAt(r.Right - 1, 10), clNavy);
    TMainForm::SendProgress(form.get(), 250); // beyond 100: a full bar, nothing drawn outside
    EXPECT_EQ(ui().StatusBar1->PixelAt(r.Right + 1, 10) == clNavy, false);
}

TEST_F(MainWindow, InfoButtonShowsAFreshDialogEachTime) {
    std::vector<QWidget*> shown;
    Answers().onDialog = [&](QWidget& dialog) {
        shown.push_back(&dialog);
        EXPECT_EQ(dialog.windowTitle(), "Info");
        EXPECT_TRUE(dialog.isModal() || dialog.parentWidget() == form.get());
        return 1;
    };
    QTest::mouseClick(ui().ueberbtn, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseClick(ui().ueberbtn, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(form->findChildren<QDialog*>().isEmpty()); // destroyed after showing
}

TEST_F(MainWindow, BackButtonRunsTheBackJob) {
    Answers().messageAnswers = {IDYES};
    QTest::mouseClick(ui().BackBtn, Qt::LeftButton);
    ASSERT_EQ(printer->Documents.size(), 1u);
    EXPECT_EQ(printer->Documents[0].Title, "Dokumenten-Rückseite vernichten");
    EXPECT_TRUE(ui().BackBtn->hasFocus());
}
