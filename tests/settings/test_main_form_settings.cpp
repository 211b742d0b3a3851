// The real main window keeps its placement, fill and colours between runs.
#include "platform/profile_file.h"
#include "tests/support/main_form_fixture.h"
#include "tests/support/test_support.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QVariant>

namespace mx::test {
namespace {

class MainFormSettings : public MainFormTest {};

QVariant get(QWidget& form, const char* control, const char* property) {
    QObject* c = form.findChild<QObject*>(control);
    return c ? c->property(property) : QVariant();
}

TEST_F(MainFormSettings, FillColoursAndPlacementSurviveARestart) {
    CreateForm();
    EXPECT_EQ(get(*form, "fillBox", "ItemIndex"), 1);
    EXPECT_EQ(get(*form, "TavelColorComboBox1", "ColorValue"), 0);
    EXPECT_EQ(get(*form, "TavelColorComboBox2", "ColorValue"), 0xFFFF);

    form->findChild<QObject*>("fillBox")->setProperty("ItemIndex", 3);
    form->findChild<QObject*>("TavelColorComboBox1")->setProperty("ColorValue", 0x00FF00);
    form->setGeometry(30, 40, 700, 560);
    form->close();
    form.reset();

    const TIniFile ini(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".INI");
    EXPECT_EQ(ini.ReadString("TMainForm", "fillBox_ItemIndex", {}), "3");
    EXPECT_EQ(ini.ReadString("TMainForm", "TavelColorComboBox1_ColorValue", {}), "65280");
    EXPECT_EQ(ini.ReadString("TMainForm", "TavelColorComboBox2_ColorValue", {}), "65535");
    EXPECT_EQ(ini.ReadString("TMainForm", "NormPos", {}), "30,40,730,600");

    form = std::make_unique<TMainForm>();
    form->show();
    Flush();
    EXPECT_EQ(get(*form, "fillBox", "ItemIndex"), 3);
    EXPECT_EQ(get(*form, "TavelColorComboBox1", "ColorValue"), 0x00FF00);
    EXPECT_EQ(get(*form, "TavelColorComboBox2", "ColorValue"), 0xFFFF);
    EXPECT_EQ(form->geometry(), QRect(30, 40, 700, 560));
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

} // namespace
} // namespace mx::test
