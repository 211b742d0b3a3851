// The radio group: one checked button per index, -1 for none, and OnClick
// for every change of the index, by the user or by program.
#include "controls/radio_group.h"
#include "platform/loading.h"

#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;

namespace {

struct Group {
    TRadioGroup group;
    int clicks = 0;
    Group() {
        group.setTitle("Füllung");
        group.resize(185, 105);
        group.setItems({"a", "b", "c", "d", "e", "f", "g"});
        group.OnClick = [this](QObject* sender) {
            EXPECT_EQ(sender, &group);
            ++clicks;
        };
    }
    int checked() const {
        int found = -1, count = 0;
        for (int i = 0; i < group.Items().size(); ++i)
            if (group.Button(i)->isChecked()) found = i, ++count;
        return count > 1 ? -2 : found;
    }
};

} // namespace

TEST(RadioGroup, ProgramChangesCheckOneButtonAndClickOnlyWhenDifferent) {
    Group g;
    EXPECT_EQ(g.group.ItemIndex(), -1);
    g.group.setItemIndex(1);
    EXPECT_EQ(g.checked(), 1);
    EXPECT_EQ(g.clicks, 1);
    g.group.setItemIndex(1);
    EXPECT_EQ(g.clicks, 1);
    g.group.setItemIndex(4);
    EXPECT_EQ(g.checked(), 4);
    g.group.setItemIndex(-1);
    EXPECT_EQ(g.checked(), -1);
    EXPECT_EQ(g.clicks, 3);
    g.group.setItemIndex(99);
    EXPECT_EQ(g.group.ItemIndex(), 6);
    g.group.setItemIndex(-7);
    EXPECT_EQ(g.group.ItemIndex(), -1);
    EXPECT_EQ(g.checked(), -1);
    EXPECT_TRUE(g.group.setProperty("ItemIndex", 2));
    EXPECT_EQ(g.checked(), 2);
}

TEST(RadioGroup, UserClickPicksTheItemOnce) {
    Group g;
    g.group.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g.group));
    g.group.setItemIndex(1);
    g.clicks = 0;
    QRadioButton* third = g.group.Button(3);
    QTest::mouseClick(third, Qt::LeftButton, {}, QPoint(6, third->height() / 2));
    EXPECT_EQ(g.group.ItemIndex(), 3);
    EXPECT_EQ(g.checked(), 3);
    EXPECT_EQ(g.clicks, 1);
    QTest::mouseClick(third, Qt::LeftButton, {}, QPoint(6, third->height() / 2));
    EXPECT_EQ(g.clicks, 1);
    EXPECT_EQ(g.checked(), 3);
}

TEST(RadioGroup, ButtonsShareTheHeightBelowTheCaptionInOneColumn) {
    Group g;
    const int x = g.group.Button(0)->x();
    for (int i = 1; i < 7; ++i) {
        EXPECT_EQ(g.group.Button(i)->x(), x);
        EXPECT_EQ(g.group.Button(i)->y(), g.group.Button(i - 1)->geometry().bottom() + 1);
    }
    EXPECT_LE(g.group.Button(6)->geometry().bottom(), 104);
    EXPECT_GT(g.group.Button(0)->y(), 5);
}

TEST(RadioGroup, IndexStoredBeforeTheItemsWhileLoadingSurvivesThem) {
    QWidget window;
    auto* group = new TRadioGroup(&window);
    {
        TLoadingScope loading(&window);
        group->setItemIndex(1);
        group->setItems({"a", "b", "c"});
    }
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_TRUE(group->Button(1)->isChecked());

    auto* late = new TRadioGroup(&window);
    {
        TLoadingScope loading(&window);
        late->setItemIndex(9);
        late->setItems({"a", "b"});
    }
    EXPECT_EQ(late->ItemIndex(), 1);
}
