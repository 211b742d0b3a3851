// The swatch on the real window's second tab: the stored style, every
// pattern, and repainting at once after the user's choices.
#include "controls/color_combo_box.h"
#include "controls/radio_group.h"
#include "platform/paintbox.h"
#include "print/fill_style.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

using namespace mx;
using namespace mx::test;

namespace {

class Swatch : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        CreateForm();
        ui().PageControl2->setCurrentWidget(ui().TabSheet2);
        Flush();
    }
    TColor at(int x, int y) { return ui().PaintBox2->PixelAt(x, y); }
    // Whether every pixel of the swatch follows the pattern.
    bool shows(TBrushStyle pattern, TColor fg, TColor bg) {
        TPaintBox& box = *ui().PaintBox2;
        for (int y = 0; y < box.height(); ++y)
            for (int x = 0; x < box.width(); ++x)
                if (at(x, y) != (pattern == bsSolid || HatchBit(pattern, x, y) ? fg : bg)) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << at(x, y);
                    return false;
                }
        return true;
    }
    void clickFill(int index) {
        QRadioButton* b = ui().fillBox->Button(index);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
};

} // namespace

TEST_F(Swatch, StartsAsAYellowCrossOnBlackWithEnglishNames) {
    EXPECT_EQ(ui().fillBox->ItemIndex(), 1);
    EXPECT_EQ(ui().fillBox->Button(3)->text(), "Diagonal 1");
    EXPECT_EQ(ui().TavelColorComboBox1->currentText(), "Black");
    EXPECT_EQ(ui().TavelColorComboBox2->HTMLcolor(), "#FFFF00");
    EXPECT_EQ(ui().TavelColorComboBox2->currentText(), "Yellow");
    EXPECT_EQ(ui().PaintBox2->size(), ui().ScrollBox2->viewport()->size());
    EXPECT_TRUE(shows(bsCross, clYellow, clBlack));
}

TEST_F(Swatch, ClickingAFillRepaintsAtOnceWithNoTraceOfTheLast) {
    for (int index : {3, 0, 2, 4, 6, 5, 1}) {
        SCOPED_TRACE(index);
        clickFill(index);
        EXPECT_EQ(ui().fillBox->ItemIndex(), index);
        EXPECT_TRUE(shows(*FillPatternForIndex(index), clYellow, clBlack));
    }
}

TEST_F(Swatch, ChoosingColoursRepaintsAtOnce) {
    ui().TavelColorComboBox1->setFocus();
    QTest::keyClick(ui().TavelColorComboBox1, Qt::Key_Down); // Black -> Maroon
    EXPECT_TRUE(shows(bsCross, clYellow, clMaroon));

    test::Answers().colorAnswers.push_back(TColor(0x204060));
    ui().TavelColorComboBox2->setFocus();
    QTest::keyClick(ui().TavelColorComboBox2, Qt::Key_End); // the custom entry
    EXPECT_EQ(test::Answers().colorRequests, std::vector<TColor>{clYellow});
    EXPECT_TRUE(shows(bsCross, 0x204060, clMaroon));
}

TEST_F(Swatch, SameColourForBothIsPlainForEveryPattern) {
    ui().TavelColorComboBox1->setColorValue(clYellow);
    for (int index = 0; index < FillPatternCount; ++index) {
        ui().fillBox->setItemIndex(index);
        EXPECT_TRUE(shows(bsSolid, clYellow, clYellow)) << index;
    }
}

TEST_F(Swatch, SolidIgnoresTheBackgroundButStoresIt) {
    clickFill(0);
    ui().TavelColorComboBox1->setFocus();
    QTest::keyClick(ui().TavelColorComboBox1, Qt::Key_Down);
    EXPECT_EQ(ui().TavelColorComboBox1->ColorValue(), clMaroon);
    EXPECT_TRUE(shows(bsSolid, clYellow, clMaroon));
}

TEST_F(Swatch, NoFillChosenKeepsTheLastPatternAcrossPaints) {
    clickFill(3);
    ui().PaintBox2->update();
    Flush(); // a paint cycle in between
    ui().TavelColorComboBox2->setColorValue(clRed);
    ui().fillBox->setItemIndex(-1);
    EXPECT_TRUE(shows(bsBDiagonal, clRed, clBlack));
}

TEST_F(Swatch, ResizedWindowRepaintsTheLargerSwatch) {
    const QSize before = ui().PaintBox2->size();
    form->resize(form->width() + 40, form->height() + 30);
    Flush();
    ASSERT_GT(ui().PaintBox2->width(), before.width());
    ASSERT_GT(ui().PaintBox2->height(), before.height());
    EXPECT_TRUE(shows(bsCross, clYellow, clBlack));
}
