// Several areas in the window: the list beside the window's own area, how
// it is drawn and picked, what a job fills, the matches, the proposals and
// the saved sets; and that with the list empty nothing changed.
#include "areas/area_sets_dialog.h"
#include "areas/areas_panel.h"
#include "areas/proposals_dialog.h"
#include "backdrop/backdrop.h"
#include "backdrop/backdrop_panel.h"
#include "controls/color_combo_box.h"
#include "controls/num_spin_edit.h"
#include "controls/radio_group.h"
#include "geometry/view_mapping.h"
#include "platform/paintbox.h"
#include "platform/qt_printer.h"
#include "platform/status_bar.h"
#include "print/overprint_rect.h"
#include "tests/backdrop/backdrop_files.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/output_readback.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace mx;
using namespace mx::test;

namespace {

class AreasWindow : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
        printer->RenderScale = 0.25;
    }
    TAreasPanel& panel() { return *form->findChild<TAreasPanel*>(); }
    TBackdropPanel& backdrop() { return *form->findChild<TBackdropPanel*>(); }
    void setArea(const Area& a) {
        form->AreaLeftMm = a.Left;
        form->AreaRightMm = a.Right;
        form->AreaTopMm = a.Top;
        form->AreaBottomMm = a.Bottom;
        form->WriteBackEdges();
        Flush();
    }
    Area area() const { return {form->AreaLeftMm, form->AreaRightMm, form->AreaTopMm, form->AreaBottomMm}; }
    QPoint previewPoint(double xMm, double yMm) {
        const TViewMapping m{form->OriginX, form->OriginY, int(ui().ZoomEd->Value()), ui().PaintBox1->logicalDpiX()};
        return {m.ToPreviewX(xMm), m.ToPreviewY(yMm)};
    }
    void open(const QString& file) {
        form->OpenBackdrop(file);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !backdrop().Loading(); }, 20000));
        Flush();
    }
    QString status() { return ui().StatusBar1->PanelText(); }
    // The rectangle of a page filled in colour c near where r (device
    // pixels of the printable area) says.
    QRect filledNear(const QImage& page, const TRect& r, const QColor& c) {
        const double s = printer->RenderScale;
        const QRect region(int(r.Left * s) - 4, int(r.Top * s) - 4, int(r.Width() * s) + 8, int(r.Height() * s) + 8);
        return TTestPrinter::FindColor(page.copy(region), c, s)
            .translated(int(region.left() / s), int(region.top() / s));
    }
};

bool Same(const Area& a, const Area& b) {
    return std::abs(a.Left - b.Left) < 1e-9 && std::abs(a.Right - b.Right) < 1e-9 && std::abs(a.Top - b.Top) < 1e-9 &&
           std::abs(a.Bottom - b.Bottom) < 1e-9;
}

} // namespace

TEST_F(AreasWindow, TheListGrowsByKeyOrMenuAndAClickPicksAnArea) {
    EXPECT_EQ(status(), "");
    EXPECT_EQ(panel().MenuButton()->parentWidget(), ui().FieldStrip);
    const Area a{20, 60, 30, 45}, b{120, 180, 200, 230};
    setArea(a);
    QTest::keyClick(form.get(), Qt::Key_Insert);
    ASSERT_EQ(panel().Listed().Count(), 1);
    // The window's own area stays where it is; a job fills it once.
    EXPECT_EQ(status(), "Ein Auftrag füllt 1 Bereich");
    setArea(b);
    EXPECT_EQ(status(), "Ein Auftrag füllt 2 Bereiche");
    // A click on the listed area makes it the one edited; the one edited
    // before goes into the list, so nothing is lost.
    const QPoint inA = previewPoint(40, 38);
    QTest::mouseMove(ui().PaintBox1, inA);
    QTest::mouseClick(ui().PaintBox1, Qt::LeftButton, {}, inA);
    Flush();
    EXPECT_TRUE(Same(area(), a));
    ASSERT_EQ(panel().Listed().Count(), 1);
    EXPECT_TRUE(Same(panel().Listed().At(0), b));
    EXPECT_EQ(ui().LeftEd->text(), "2,00");
    // With Ctrl held, a press there starts a new area as ever.
    const QPoint inB = previewPoint(150, 215);
    QTest::mouseMove(ui().PaintBox1, inB);
    QTest::mousePress(ui().PaintBox1, Qt::LeftButton, Qt::ControlModifier, inB);
    EXPECT_DOUBLE_EQ(form->AreaLeftMm, form->AreaRightMm);
    QTest::mouseRelease(ui().PaintBox1, Qt::LeftButton, Qt::ControlModifier, inB);

    // The menu removes one area or all of them.
    QMenu* menu = panel().Menu(0);
    const QList<QAction*> actions = menu->actions();
    const auto entry = [&](const QString& start) {
        for (QAction* action : menu->actions())
            if (action->text().startsWith(start)) return action;
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_NE(entry("Bereich 1 aus der Liste"), nullptr);
    entry("Bereich 1 aus der Liste")->trigger();
    EXPECT_TRUE(panel().Listed().IsEmpty());
    EXPECT_EQ(status(), "");
    EXPECT_FALSE(panel().Menu()->actions().at(1)->isEnabled()); // nothing left to remove
}

TEST_F(AreasWindow, OneJobFillsEveryAreaFrontAndBack) {
    ui().fillBox->setItemIndex(0);
    ui().TavelColorComboBox2->setColorValue(clRed);
    const QList<Area> areas{{20, 60, 30, 45}, {120, 180, 200, 230}, {40, 50, 250, 270}};
    for (const Area& a : areas.mid(1)) {
        setArea(a);
        panel().AddCurrent();
    }
    setArea(areas[0]);
    ui().CopiesED->setValue(2);
    for (const bool back : {false, true}) {
        SCOPED_TRACE(back ? "back" : "front");
        Answers().messageAnswers = {IDYES};
        if (back)
            form->BackBtnClick(ui().BackBtn);
        else
            form->PrintBtnClick(ui().PrintBtn);
        const TTestDocument& doc = printer->Documents.back();
        ASSERT_EQ(doc.PageCount, 2);
        const PrinterGeometry g = ReadPrinterGeometry(*printer);
        for (const QImage& page : doc.Pages)
            for (const Area& a : areas) {
                const TRect want = back ? BackRect(a, g) : FrontRect(a, g);
                const QRect got = filledNear(page, want, Qt::red);
                EXPECT_NEAR(got.left(), want.Left, 4);
                EXPECT_NEAR(got.right() + 1, want.Right, 4);
                EXPECT_NEAR(got.top(), want.Top, 4);
            }
    }
}

// Three areas of different sizes through the real PDF output, read back
// with poppler at 600 dpi: each exactly where the one-area job puts it.
TEST_F(AreasWindow, ThreeAreasLandExactlyWhereEachAloneWould) {
    QTemporaryDir dir;
    SetPrinter(std::make_unique<TQtPrinter>(TQtPrinter::TOutput::Pdf));
    ui().fillBox->setItemIndex(0);
    ui().TavelColorComboBox2->setColorValue(clBlack);
    ui().CopiesED->setValue(1);
    for (const Area& a : QList<Area>{{150.3, 190.07, 100, 101.5}, {30, 32.2, 250.05, 276.98}}) {
        setArea(a);
        panel().AddCurrent();
    }
    setArea({12.49, 87.9, 20.1, 40.2});
    // The areas as the fields left them (to the tenth of a millimetre).
    const QList<Area> areas = QList<Area>{area()} + panel().Listed().Areas();
    const int dpi = Printer()->GetDeviceCaps(LOGPIXELSX), paper = Printer()->GetDeviceCaps(PHYSICALWIDTH);
    for (const bool back : {false, true}) {
        const QString pdf = dir.filePath(back ? "hinten.pdf" : "vorn.pdf");
        Answers().messageAnswers = {IDYES};
        Answers().saveFileAnswers = {pdf};
        if (back)
            form->BackBtnClick(ui().BackBtn);
        else
            form->PrintBtnClick(ui().PrintBtn);
        for (const Area& a : areas) {
            SCOPED_TRACE(testing::Message() << (back ? "back " : "front ") << a.Left);
            const int l = MmToDevice(a.Left, dpi), r = MmToDevice(a.Right, dpi);
            const QRect want =
                back ? QRect(QPoint(paper - r, MmToDevice(a.Top, dpi)),
                             QPoint(paper - l - 1, MmToDevice(a.Bottom, dpi) - 1))
                     : QRect(QPoint(l, MmToDevice(a.Top, dpi)), QPoint(r - 1, MmToDevice(a.Bottom, dpi) - 1));
            const QRect region = want.adjusted(-6, -6, 6, 6);
            QString error;
            const QImage image = RenderPdfRegion(pdf, 1, dpi, region, &error);
            ASSERT_FALSE(image.isNull()) << error.toStdString();
            EXPECT_EQ(InkBounds(image).translated(region.topLeft()), want);
        }
    }
    SetPrinter(std::make_unique<TTestPrinter>());
}

TEST_F(AreasWindow, WithTheListEmptyAJobIsByteForByteWhatItWas) {
    QTemporaryDir dir;
    setArea({20, 60, 30, 45});
    const QByteArray before = PrintFrontJobAsPdf(dir.filePath("vorher.pdf"));
    setArea({100, 120, 100, 120});
    panel().AddCurrent();
    setArea({20, 60, 30, 45});
    panel().RemoveAll();
    EXPECT_EQ(PrintFrontJobAsPdf(dir.filePath("nachher.pdf")), before);
    SetPrinter(std::make_unique<TTestPrinter>());
}

TEST_F(AreasWindow, ListedAreasAreDrawnNumberedAndClearOverABackdrop) {
    TTestPage page;
    page.BlackRectsMm = {QRectF(20, 20, 100, 60)};
    open(WriteFile("schwarz.pdf", MakePdf({page})));
    form->AreaLeftMm = form->AreaRightMm = form->AreaTopMm = form->AreaBottomMm = 0;
    ui().PaintBox1->Invalidate();
    Flush();
    const QImage beneath = ui().PaintBox1->Buffer().copy();
    setArea({30, 80, 30, 60});
    panel().AddCurrent();
    setArea({0, 0, 0, 0});
    ui().PaintBox1->Invalidate();
    Flush();
    const QImage drawn = ui().PaintBox1->Buffer().copy();
    const QRect r = TViewMapping{form->OriginX, form->OriginY, 30, ui().PaintBox1->logicalDpiX()}
                        .ToPreview({30, 80, 30, 60})
                        .ToQRect()
                        .translated(-ui().PaintBox1->BufferRect().topLeft());
    // The hatch and the outline, in the listed areas' colour.
    int lines = 0, weakest = 255;
    const auto luminance = [](QRgb c) { return qRound(0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c)); };
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            if ((drawn.pixel(x, y) & 0xFFFFFF) != ToQColor(clPurple).rgb() - 0xFF000000u) continue;
            ++lines;
            weakest = std::min(weakest, std::abs(luminance(drawn.pixel(x, y)) - luminance(beneath.pixel(x, y))));
        }
    EXPECT_GT(lines, 100);
    EXPECT_GE(weakest, 40);
    // The number on white in the top-left corner.
    EXPECT_EQ(drawn.pixel(r.left() + 1, r.top() + 1) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(AreasWindow, EveryMatchOfTheSearchBecomesAnArea) {
    TTestPage page;
    page.Texts = {{"IBAN DE12 3456", {25, 80}}, {"IBAN DE98 7654", {25, 200}}};
    open(WriteFile("brief.pdf", MakePdf({page})));
    backdrop().SearchField()->setText("IBAN");
    panel().MarkAllMatches();
    // The first replaces the window's own (still the whole sheet).
    const TBackdrop& b = *backdrop().Backdrop();
    const QList<QRectF> boxes = b.FindAll("IBAN", form->SheetWidthMm, form->SheetHeightMm);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_NEAR(form->AreaLeftMm, boxes[0].left() - 1, 0.051);
    EXPECT_NEAR(form->AreaBottomMm, boxes[0].bottom() + 1, 0.051);
    ASSERT_EQ(panel().Listed().Count(), 1);
    EXPECT_NEAR(panel().Listed().At(0).Top, boxes[1].top() - 1, 1e-9);
    EXPECT_EQ(status(), "Seite 1: ein Auftrag füllt 2 Bereiche");
}

TEST_F(AreasWindow, ProposalsFindNameIbanAndEmailAtTheirBoxes) {
    TTestPage page;
    page.Texts = {{"Herrn Max Mustermann", {25, 60}},
                  {"IBAN DE89 3704 0044 0532 0130 00", {25, 120}},
                  {"E-Mail: max.mustermann@example.de", {25, 140}}};
    open(WriteFile("brief.pdf", MakePdf({page})));
    QStringList shown;
    Answers().onDialog = [&](QWidget& widget) {
        auto& dialog = dynamic_cast<TProposalsDialog&>(widget);
        for (int i = 0; i < dialog.List()->count(); ++i) {
            shown.append(dialog.List()->item(i)->text());
            EXPECT_EQ(dialog.List()->item(i)->checkState(), Qt::Unchecked);
            dialog.List()->item(i)->setCheckState(Qt::Checked);
        }
        return QDialog::Accepted;
    };
    panel().ShowProposals();
    EXPECT_EQ(shown, (QStringList{"Name: Max Mustermann", "IBAN: DE89 3704 0044 0532 0130 00",
                                  "E-Mail: max.mustermann@example.de"}));
    // The name replaces the whole-sheet area; the others are listed, each
    // the text's box and 1 mm.
    EXPECT_NEAR(form->AreaLeftMm, TextBoxMm({"Herrn ", {25, 60}}).right() - 1, 1.0);
    ASSERT_EQ(panel().Listed().Count(), 2);
    EXPECT_NEAR(panel().Listed().At(0).Left, TextBoxMm({"IBAN ", {25, 120}}).right() - 1, 1.0);
    EXPECT_NEAR(panel().Listed().At(1).Right, TextBoxMm({"E-Mail: max.mustermann@example.de", {25, 140}}).right() + 1,
                1.0);
}

TEST_F(AreasWindow, SavedSetsComeBackAndAskOnAnotherPaper) {
    setArea({10, 50, 10, 20});
    panel().AddCurrent();
    setArea({100, 150, 100, 120});
    Answers().onDialog = [&](QWidget& widget) {
        auto& dialog = dynamic_cast<TAreaSetsDialog&>(widget);
        // A name that would break the settings file is refused.
        dialog.NameField()->setText("Konto]auszug");
        dialog.SaveClick();
        EXPECT_EQ(dialog.List()->count(), 0);
        dialog.NameField()->setText("Kontoauszug");
        dialog.SaveClick();
        EXPECT_EQ(dialog.List()->count(), 1);
        return QDialog::Rejected;
    };
    panel().ShowSets();
    ASSERT_FALSE(Answers().messages.empty());
    panel().RemoveAll();
    setArea({0, 5, 0, 5});
    const auto load = [&] {
        Answers().onDialog = [&](QWidget& widget) {
            auto& dialog = dynamic_cast<TAreaSetsDialog&>(widget);
            dialog.List()->setCurrentRow(0);
            dialog.LoadClick();
            return dialog.result();
        };
        panel().ShowSets();
    };
    load();
    EXPECT_TRUE(Same(area(), {100, 150, 100, 120}));
    ASSERT_EQ(panel().Listed().Count(), 1);
    EXPECT_TRUE(Same(panel().Listed().At(0), {10, 50, 10, 20}));

    // Made for A4-ish letter paper; on A5 it is asked first, and "Nein" loads nothing.
    panel().RemoveAll();
    setArea({0, 5, 0, 5});
    printer->OnSetup = [](TTestGeometry& g) {
        g.PhysicalWidth = 3496;
        g.PhysicalHeight = 4961;
        return true;
    };
    Answers().printerSetupAnswers = {true};
    form->PrintSetupBtnClick(ui().PrintSetupBtn);
    ui().PaintBox1->Invalidate();
    Flush();
    Answers().messageAnswers = {IDNO};
    load();
    EXPECT_TRUE(Answers().messages.back().text.startsWith("Die Vorlage „Kontoauszug“ wurde für ein Blatt von 216"));
    EXPECT_TRUE(Same(area(), {0, 5, 0, 5}));
    EXPECT_TRUE(panel().Listed().IsEmpty());
}

TEST_F(AreasWindow, EachPageOfABackdropKeepsItsOwnList) {
    TTestPage first, second;
    first.Texts = {{"Seite eins", {20, 30}}};
    second.Texts = {{"Seite zwei", {20, 30}}};
    open(WriteFile("zwei.pdf", MakePdf({first, second})));
    setArea({10, 50, 10, 20});
    panel().AddCurrent();
    setArea({100, 150, 100, 120});
    EXPECT_EQ(status(), "Seite 1: ein Auftrag füllt 2 Bereiche");
    backdrop().PageField()->setValue(2);
    Flush();
    EXPECT_TRUE(panel().Listed().IsEmpty());
    EXPECT_EQ(status(), "Seite 2: ein Auftrag füllt 1 Bereich");
    backdrop().PageField()->setValue(1);
    Flush();
    EXPECT_EQ(panel().Listed().Count(), 1);
}

TEST_F(AreasWindow, AThousandAreasAreRefusedBeforeAnythingIsDrawn) {
    QList<Area> many;
    for (int i = 0; i < 1000; ++i) many.append({double(i % 200), double(i % 200) + 1, 10, 11});
    setArea({0, 5, 0, 5});
    const int paints = ui().PaintBox1->PaintCount();
    Application()->Guard([&] { panel().AddAreas(many); });
    ASSERT_EQ(Answers().Errors().size(), 1);
    EXPECT_TRUE(panel().Listed().IsEmpty());
    Flush();
    EXPECT_EQ(ui().PaintBox1->PaintCount(), paints);
}
