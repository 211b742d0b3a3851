#include "app/about_box.h"
#include "controls/bitbtn_xp.h"
#include "platform/application.h"
#include "platform/image.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;

namespace {

// Puts a fixed date in place of today's for the lifetime of the object.
struct FixedToday {
    explicit FixedToday(std::function<QDate()> today) : saved(TAboutBox::Today) { TAboutBox::Today = std::move(today); }
    ~FixedToday() { TAboutBox::Today = saved; }
    std::function<QDate()> saved;
};

QString notice(TAboutBox& box) { return box.findChild<QLabel*>("Copyright")->text(); }

} // namespace

TEST(AboutBox, NoticeTakesTheYearInPlaceOfTheFirstPlaceholder) {
    EXPECT_EQ(NoticeWithYear("© XXXX Orvenal", 2031), "© 2031 Orvenal");
    EXPECT_EQ(NoticeWithYear("XXXX-XXXX", 987), "987-XXXX");
    EXPECT_EQ(NoticeWithYear("ohne Jahr", 2031), "ohne Jahr");
}

TEST(AboutBox, NoticeShowsTheYearOfTheDayTheDialogIsMade) {
    FixedToday fixed([] { return QDate(2031, 6, 15); });
    TAboutBox box;
    const QString text = notice(box);
    EXPECT_TRUE(text.contains("2031"));
    EXPECT_FALSE(text.contains("XXXX"));
    EXPECT_EQ(text, NoticeWithYear("© XXXX Orvenal. Freie Software (GPL).", 2031));
}

TEST(AboutBox, DialogsOnEitherSideOfNewYearShowDifferentYears) {
    QDate day(2030, 12, 31);
    FixedToday fixed([&] { return day; });
    TAboutBox before;
    day = day.addDays(1);
    TAboutBox after;
    EXPECT_TRUE(notice(before).contains("2030"));
    EXPECT_TRUE(notice(after).contains("2031"));
}

TEST(AboutBox, FrameButtonsAndPicture) {
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), "Info");
    EXPECT_EQ(box.minimumSize(), QSize(664, 453));
    EXPECT_EQ(box.maximumSize(), QSize(664, 453));
    auto* ok = box.findChild<TBitBtnXP*>("BitBtn1");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->Kind(), TBitBtnXP::bkOK);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_EQ(ok->geometry(), QRect(241, 404, 181, 37));
    auto* web = box.findChild<TBitBtnXP*>("BitBtnXP1");
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(web->NumGlyphs(), 2);
    EXPECT_EQ(web->Glyph().size(), QSize(32, 16));
    auto* picture = box.findChild<TImage*>("ProgramIcon");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Picture().Width(), 306);
    EXPECT_EQ(picture->Picture().Height(), 322);
    EXPECT_TRUE(picture->Stretch());
    EXPECT_TRUE(test::Answers().Errors().isEmpty());
}

TEST(AboutBox, WebButtonOpensTheMakersAddress) {
    QStringList opened;
    Application()->ShellHook = [&](const QString& target) {
        opened.append(target);
        return true;
    };
    TAboutBox box;
    box.findChild<TBitBtnXP*>("BitBtnXP1")->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.front().contains("orvenal"));
    EXPECT_TRUE(box.findChild<QLabel*>("Label3")->text().section('\n', 0, 0).endsWith("www.orvenal.de"));
}

TEST(AboutBox, ClosesWithOkEnterAndTheCloseBox) {
    auto showActive = [](TAboutBox& box) {
        box.show();
        QApplication::setActiveWindow(&box);
        (void)QTest::qWaitForWindowActive(&box);
    };
    {
        TAboutBox box;
        showActive(box);
        QTest::mouseClick(box.findChild<TBitBtnXP*>("BitBtn1"), Qt::LeftButton);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.result(), IDOK);
    }
    {
        TAboutBox box;
        showActive(box);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), "BitBtn1");
        EXPECT_TRUE(box.findChild<TBitBtnXP*>("BitBtn1")->ActiveLook());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.result(), IDOK);
    }
    {
        TAboutBox box;
        showActive(box);
        box.close();
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.result(), IDCANCEL);
    }
    {
        // No Cancel button: Escape ends nothing, wherever the focus is.
        TAboutBox box;
        showActive(box);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::keyClick(&box, Qt::Key_Escape);
        EXPECT_TRUE(box.isVisible());
    }
}
