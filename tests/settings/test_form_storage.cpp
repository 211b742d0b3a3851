#include "platform/application.h"
#include "platform/profile_file.h"
#include "platform/window_placement.h"
#include "settings/form_storage.h"
#include "tests/settings/stand_in_form.h"
#include "tests/support/test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace mx::test {
namespace {

const QStringList kAllKeys = {"FormVersion",
                              "Flags",
                              "ShowCmd",
                              "PixelsPerInch",
                              "MinMaxPos(800x800)",
                              "MinMaxPos",
                              "NormPos(800x800)",
                              "NormPos",
                              "Visible",
                              "fillBox_ItemIndex",
                              "TavelColorComboBox1_ColorValue",
                              "TavelColorComboBox2_ColorValue"};

class SettingsStore : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        savedXdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        Application()->MainForm = nullptr;
        // The keys below name the offscreen screen.
        ASSERT_EQ(ScreenSize(), QSize(800, 800));
    }
    void TearDown() override {
        Application()->MainForm = nullptr;
        TIniFile::SetReplaceHookForTests({});
        SetWindowPositionsAllowedForTests(std::nullopt);
        qputenv("XDG_CONFIG_HOME", savedXdg);
    }

    // The file is named after the test program.
    QString iniPath() const { return dir.path() + "/test_settings.INI"; }

    void putIni(const QByteArray& content) {
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray iniBytes() const {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString value(const QString& key) const { return TIniFile(iniPath()).ReadString("TMainForm", key, "<none>"); }
    // The keys of the window's section, in file order.
    QStringList keys() const {
        QStringList found;
        bool inSection = false;
        for (const QByteArray& line : iniBytes().split('\n')) {
            if (line.startsWith('['))
                inSection = line == "[TMainForm]";
            else if (inSection && line.contains('='))
                found << QString::fromUtf8(line.left(line.indexOf('=')));
        }
        return found;
    }

    std::unique_ptr<TMainForm> showForm() {
        auto form = std::make_unique<TMainForm>();
        Application()->MainForm = form.get();
        form->show();
        return form;
    }
    // One run of the program: show, change, close, destroy.
    void run(const std::function<void(TMainForm&)>& change) {
        auto form = showForm();
        change(*form);
        form->close();
        form.reset();
        Application()->MainForm = nullptr;
    }

    QTemporaryDir dir;
    QByteArray savedXdg;
};

TEST_F(SettingsStore, FirstStartOpensAsDesignedAndClosingWritesEveryKey) {
    auto form = showForm();
    EXPECT_EQ(form->fillBox->ItemIndex(), 1);
    EXPECT_EQ(form->fillBox->clicks, 0);
    EXPECT_EQ(form->color1->ColorValue(), clBlack);
    EXPECT_EQ(form->color2->ColorValue(), clYellow);
    EXPECT_EQ(form->geometry(), QRect(89, 162, 622, 476)); // centred on 800 x 800
    EXPECT_FALSE(QFile::exists(iniPath()));

    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(keys(), kAllKeys);
    EXPECT_EQ(value("FormVersion"), "0");
    EXPECT_EQ(value("Flags"), "0");
    EXPECT_EQ(value("ShowCmd"), "1");
    EXPECT_EQ(value("PixelsPerInch"), QString::number(ScreenPixelsPerInch()));
    EXPECT_EQ(value("MinMaxPos(800x800)"), value("MinMaxPos"));
    EXPECT_EQ(value("NormPos(800x800)"), "89,162,711,638");
    EXPECT_EQ(value("NormPos"), "89,162,711,638");
    EXPECT_EQ(value("Visible"), "0");
    EXPECT_EQ(value("fillBox_ItemIndex"), "1");
    EXPECT_EQ(value("TavelColorComboBox1_ColorValue"), "0");
    EXPECT_EQ(value("TavelColorComboBox2_ColorValue"), "65535");

    // The save on closing counts: destroying writes nothing more.
    const QByteArray afterClose = iniBytes();
    form.reset();
    EXPECT_EQ(iniBytes(), afterClose);
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

TEST_F(SettingsStore, FillAndColoursComeBackThroughTheirSetters) {
    run([](TMainForm& f) {
        f.fillBox->SetItemIndex(4);
        f.color1->SetColorValue(0x123456);
        f.color2->SetColorValue(MakeSysColor(COLOR_BTNFACE));
    });
    EXPECT_EQ(value("TavelColorComboBox2_ColorValue"), "-2147483633");

    auto form = showForm();
    EXPECT_EQ(form->fillBox->ItemIndex(), 4);
    EXPECT_EQ(form->fillBox->clicks, 1);
    EXPECT_EQ(form->color1->ColorValue(), 0x123456);
    EXPECT_EQ(form->color2->ColorValue(), MakeSysColor(COLOR_BTNFACE));
    EXPECT_EQ(form->color1->changes + form->color2->changes, 0);
}

TEST_F(SettingsStore, StoredPositionWinsOverCentring) {
    run([](TMainForm& f) { f.setGeometry(40, 30, 500, 400); });
    EXPECT_EQ(value("NormPos"), "40,30,540,430");
    auto form = showForm();
    EXPECT_EQ(form->geometry(), QRect(40, 30, 500, 400));
    EXPECT_EQ(FormPosition(form.get()), TPosition::poDesigned);
}

TEST_F(SettingsStore, MaximisedRoundTripKeepsTheNormalRectangle) {
    run([](TMainForm& f) {
        f.setGeometry(40, 30, 500, 400);
        f.showMaximized();
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(value("ShowCmd"), "3");
    EXPECT_EQ(value("NormPos"), "40,30,540,430");

    auto form = showForm();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isMaximized());
    form->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->geometry(), QRect(40, 30, 500, 400));
}

TEST_F(SettingsStore, MinimisedProgramStartsMinimised) {
    run([](TMainForm& f) {
        f.showMinimized();
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(value("ShowCmd"), "2");

    auto form = showForm();
    EXPECT_FALSE(form->isMinimized()); // the command is posted, not carried out at once
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isMinimized());
}

TEST_F(SettingsStore, MinimisedFromMaximisedComesBackMaximised) {
    run([](TMainForm& f) {
        f.showMaximized();
        f.showMinimized();
        QCoreApplication::processEvents();
    });
    EXPECT_EQ(value("ShowCmd"), "2");
    EXPECT_EQ(value("Flags"), "2");

    auto form = showForm();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->windowState(), Qt::WindowMinimized | Qt::WindowMaximized);
}

TEST_F(SettingsStore, PlacementOfTheCurrentResolutionComesFirst) {
    putIni("[TMainForm]\nNormPos(1024x768)=1,2,301,202\nNormPos=10,20,310,220\n");
    EXPECT_EQ(showForm()->geometry(), QRect(10, 20, 300, 200));

    putIni("[TMainForm]\nNormPos(800x800)=5,6,405,306\nNormPos=10,20,310,220\n");
    EXPECT_EQ(showForm()->geometry(), QRect(5, 6, 400, 300));
}

TEST_F(SettingsStore, OtherPixelsPerInchIgnoresPlacementButKeepsState) {
    const QByteArray ppi = QByteArray::number(ScreenPixelsPerInch() + 48);
    putIni("[TMainForm]\nShowCmd=3\nPixelsPerInch=" + ppi + "\nNormPos=10,20,310,220\n");
    auto form = showForm();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(form->normalGeometry(), QRect(89, 162, 622, 476));
}

TEST_F(SettingsStore, UnusableValuesGiveTheirDefaults) {
    putIni("[tmainform]\n"
           "FormVersion=zero\n"
           "ShowCmd=x3\n"
           "PixelsPerInch=lots\n"
           "NormPos=a,b,c,d\n"
           "fillBox_ItemIndex=abc\n"
           "TavelColorComboBox1_ColorValue=$FF\n"
           "TavelColorComboBox2_ColorValue=#00FF00\n");
    auto form = showForm();
    EXPECT_EQ(form->fillBox->ItemIndex(), 0);
    EXPECT_EQ(form->color1->ColorValue(), 0xFF);
    EXPECT_EQ(form->color2->ColorValue(), 0);
    EXPECT_FALSE(form->isMaximized());
    // Every word of NormPos malformed: the window's own rectangle.
    EXPECT_EQ(form->size(), QSize(622, 476));
}

TEST_F(SettingsStore, MissingKeysKeepDesignValues) {
    putIni("[Other]\nfillBox_ItemIndex=5\n[TMainForm]\nTavelColorComboBox2_ColorValue=255\n");
    auto form = showForm();
    EXPECT_EQ(form->fillBox->ItemIndex(), 1);
    EXPECT_EQ(form->fillBox->clicks, 0);
    EXPECT_EQ(form->color1->ColorValue(), clBlack);
    EXPECT_EQ(form->color2->ColorValue(), 255);
    form->close();
    EXPECT_TRUE(iniBytes().startsWith("[Other]\nfillBox_ItemIndex=5\n[TMainForm]\n"));
}

TEST_F(SettingsStore, EmptyOrReversedRectangleLeavesTheWindowAlone) {
    putIni("[TMainForm]\nNormPos=300,20,300,220\n");
    EXPECT_EQ(showForm()->geometry(), QRect(89, 162, 622, 476));
    putIni("[TMainForm]\nNormPos=300,220,600,220\n");
    EXPECT_EQ(showForm()->geometry(), QRect(89, 162, 622, 476));
}

TEST_F(SettingsStore, LostOrHugeRectanglesStayUsable) {
    putIni("[TMainForm]\nNormPos=-90000,-90000,-89500,-89600\n");
    auto lost = showForm();
    EXPECT_EQ(lost->size(), QSize(500, 400));
    EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().contains(lost->geometry()));
    putIni("[TMainForm]\nNormPos=0,0,2000000000,2000000000\n");
    // At most the screen with the frame around it.
    auto huge = showForm();
    EXPECT_EQ(huge->frameGeometry().size(), QGuiApplication::primaryScreen()->availableGeometry().size());
}

TEST_F(SettingsStore, RectanglesFarOffTheScreenKeepTheWholeTitleBarOnIt) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* normPos : {"99999999,99999999,100000499,100000399", "-99999999,-99999999,-99999499,-99999599",
                                "-99999999,100,99999999,500", "0,0,500,400"}) {
        SCOPED_TRACE(normPos);
        putIni(QByteArray("[TMainForm]\nNormPos=") + normPos + "\n");
        auto form = showForm();
        // The title bar runs across the frame's top, above the client area.
        const QRect frame = form->frameGeometry(), client = form->geometry();
        EXPECT_GE(frame.top(), screen.top());
        EXPECT_LE(client.top(), screen.bottom());
        EXPECT_GE(frame.left(), screen.left());
        EXPECT_LE(frame.right(), screen.right());
    }
}

TEST_F(SettingsStore, ARestoreReportsTheMaximisedPositionOfTheFrame) {
    run([](TMainForm&) {});
    EXPECT_EQ(value("MinMaxPos"), "-1,-1,-4,-4");
    putIni("[TMainForm]\nMinMaxPos=5,6,7,8\n");
    run([](TMainForm&) {});
    EXPECT_EQ(value("MinMaxPos"), "5,6,-4,-4");
}

TEST_F(SettingsStore, FixedSizeWindowKeepsItsSize) {
    putIni("[TMainForm]\nNormPos=10,20,900,900\n");
    TMainForm form;
    form.setFixedSize(300, 200);
    form.show();
    EXPECT_EQ(form.geometry(), QRect(10, 20, 300, 200));
}

TEST_F(SettingsStore, NeverShownWindowWritesNothing) {
    {
        TMainForm form;
        form.close();
    }
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(SettingsStore, DestroyWithoutCloseSavesVisible) {
    auto form = showForm();
    form.reset();
    EXPECT_EQ(value("Visible"), "1");
    EXPECT_EQ(keys(), kAllKeys);
}

TEST_F(SettingsStore, RefusedCloseSavesNothing) {
    auto form = showForm();
    form->refuseClose = true;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFile::exists(iniPath()));
    form->refuseClose = false;
    EXPECT_TRUE(form->close());
    EXPECT_EQ(value("Visible"), "0");
}

TEST_F(SettingsStore, UnwritableFileIsReportedTwiceAndTheWindowCloses) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("test_settings.INI"));
    auto form = showForm();
    form->close();
    EXPECT_FALSE(form->isVisible());
    const QString message = "nach " + iniPath() + " kann nicht geschrieben werden.";
    EXPECT_EQ(Answers().Errors(), QStringList{message});
    form.reset();
    EXPECT_EQ(Answers().Errors(), (QStringList{message, message}));
}

TEST_F(SettingsStore, FailedReplaceLeavesThePreviousFile) {
    const QByteArray before = "[Keep]\nA=1\n[TMainForm]\nfillBox_ItemIndex=3\n";
    putIni(before);
    auto form = showForm();
    EXPECT_EQ(form->fillBox->ItemIndex(), 3);
    form->fillBox->SetItemIndex(6);
    TIniFile::SetReplaceHookForTests([](const QString&) { return false; });
    form->close();
    EXPECT_EQ(iniBytes(), before);
    EXPECT_EQ(Answers().Errors().size(), 1);
    TIniFile::SetReplaceHookForTests({});
    form.reset(); // the destroy hook tries again, and now succeeds
    EXPECT_EQ(value("fillBox_ItemIndex"), "6");
    EXPECT_EQ(value("Visible"), "1");
    EXPECT_TRUE(iniBytes().startsWith("[Keep]\nA=1\n[TMainForm]\nfillBox_ItemIndex=6\nFormVersion=0\n"));
}

TEST_F(SettingsStore, HostileFileNeverBreaksTheStart) {
    QByteArray junk("\xEF\xBB\xBF[TMainForm]\r\n\0\0\xff\xfe=\r\nNormPos=\xc3\x28,\0,1\r\n", 39);
    junk += "fillBox_ItemIndex=" + QByteArray(10 * 1024 * 1024, '7') + "\r\n";
    junk += "[TMainForm]\nfillBox_ItemIndex=2\n";
    putIni(junk);
    auto form = showForm();
    EXPECT_EQ(form->fillBox->ItemIndex(), 0); // overflowing number
    form->close();
    EXPECT_EQ(value("fillBox_ItemIndex"), "0");
    EXPECT_TRUE(iniBytes().contains("\r\nFormVersion=0\r\n"));
    EXPECT_TRUE(iniBytes().endsWith("[TMainForm]\nfillBox_ItemIndex=2\n"));
}

TEST_F(SettingsStore, WaylandRestoresSizeAndStateAndLosesNoPosition) {
    putIni("[TMainForm]\nShowCmd=1\nNormPos=40,30,540,430\n");
    SetWindowPositionsAllowedForTests(false);
    auto form = showForm();
    EXPECT_EQ(form->size(), QSize(500, 400));
    EXPECT_NE(form->pos(), QPoint(40, 30));
    form->close();
    EXPECT_EQ(value("NormPos"), "40,30,540,430");
}

TEST_F(SettingsStore, NewerVersionWantedIgnoresTheFile) {
    putIni("[TMainForm]\nFormVersion=1\nfillBox_ItemIndex=5\nNormPos=10,20,310,220\n");
    auto form = std::make_unique<TMainForm>();
    form->FormStorage1->Version = 2;
    form->show();
    EXPECT_EQ(form->fillBox->ItemIndex(), 1);
    EXPECT_EQ(form->geometry(), QRect(89, 162, 622, 476));
    form->close();
    EXPECT_EQ(value("FormVersion"), "2");
}

TEST_F(SettingsStore, EntriesThatNameNothingAreDropped) {
    TMainForm form(false);
    TFormStorage storage(&form);
    storage.SetStoredProps({"FILLBOX.itemindex", "nobody.Foo", "fillBox.Nope", "nodot", " .x", "fillBox. ",
                            "TavelColorComboBox1.ColorValue"});
    storage.Loaded();
    EXPECT_EQ(storage.StoredProps(),
              (QStringList{"FILLBOX.itemindex", "fillBox.Nope", "TavelColorComboBox1.ColorValue"}));
    form.show();
    delete form.color1; // its entry goes with it
    form.close();
    EXPECT_EQ(storage.StoredProps(), (QStringList{"fillBox.itemindex", "fillBox.Nope"}));
    // Keys use the names as they are, not as the entry spells them.
    EXPECT_EQ(keys().mid(9), QStringList{"fillBox_ItemIndex"});
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

} // namespace
} // namespace mx::test
