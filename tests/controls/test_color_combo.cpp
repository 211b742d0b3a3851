// The colour combo box: its two value properties and their odd texts, the
// user's choices by key and mouse, the colour chooser, and the drawing of
// the entries.
#include "controls/color_combo_box.h"
#include "platform/canvas.h"
#include "tests/support/test_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QStyleOptionComboBox>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

using namespace mx;

namespace {

struct Counted {
    TTavelColorComboBox box;
    int changes = 0;
    std::vector<std::string> events;
    Counted() {
        box.OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, &box);
            ++changes;
            events.push_back("change");
        };
        box.OnClick = [this](QObject*) { events.push_back("click"); };
    }
};

struct Expect {
    const char* text;
    TColor value;
    int index;
    QString html;
};

} // namespace

TEST(ColorCombo, StartsBlackWithSeventeenDistinctEntries) {
    TTavelColorComboBox box;
    EXPECT_EQ(box.count(), TTavelColorComboBox::EntryCount);
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.ColorValue(), clBlack);
    EXPECT_EQ(box.HTMLcolor(), "#000000");
    EXPECT_EQ(box.Language(), lgEnglish);
    EXPECT_EQ(box.size(), QSize(120, 22));
    EXPECT_EQ(box.maxVisibleItems(), 8);
    std::set<TColor> colours;
    for (int i = 0; i < TTavelColorComboBox::CustomEntry; ++i) colours.insert(TTavelColorComboBox::EntryColor(i));
    EXPECT_EQ(colours.size(), 16u);
}

TEST(ColorCombo, ColorToHtmlWritesRedGreenBlue) {
    EXPECT_EQ(ColorToHTML(0x563412), "#123456");
    EXPECT_EQ(ColorToHTML(clRed), "#FF0000");
    EXPECT_EQ(ColorToHTML(clYellow), "#FFFF00");
    EXPECT_EQ(ColorToHTML(0xABCDEF), "#EFCDAB");
    EXPECT_EQ(ColorToHTML(clWindowText), ColorToHTML(ColorToRGB(clWindowText)));
    // The top byte of anything but a system colour is not part of the colour.
    EXPECT_EQ(ColorToHTML(static_cast<TColor>(0x02FF0000)), "#0000FF");
    EXPECT_EQ(ColorToHTML(static_cast<TColor>(0xFF123456u)), "#563412");
}

TEST(ColorCombo, HtmlTextsOfAnyFormAreParsedOrIgnored) {
    const std::vector<Expect> cases = {
        {"#ff0000", 0x0000FF, 9, "#FF0000"},
        {"", 0x000000, 0, "#000000"},
        {"#12", 0x000012, 16, "#12"},
        {"#", 0x000000, 0, "#"},
        {"#1", 0x000001, 16, "#1"},
        {"#11223344", 0x332211, 16, "#11223344"},
        {"X00FF00", 0x00FF00, 10, "X00FF00"},
        {"x00ff00", 0x00FF00, 10, "X00FF00"},
        {"ä00FF00", 0x00FF00, 10, "ä00FF00"}, // only ASCII is upper-cased
        {"#c0c0c0 and more", 0xC0C0C0, 8, "#C0C0C0 AND MORE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Counted t;
        t.box.setColorValue(0x123456); // start away from every case
        t.box.setHTMLcolor(QString::fromUtf8(c.text));
        EXPECT_EQ(t.box.ColorValue(), c.value);
        EXPECT_EQ(t.box.currentIndex(), c.index);
        EXPECT_EQ(t.box.HTMLcolor(), c.html);
        EXPECT_EQ(t.changes, 0);
    }
}

TEST(ColorCombo, UnparsableHtmlTextsChangeNothing) {
    for (const char* text : {"#GG0000", "#00 000", "#-10000", "#ÄÖ0000", "#0000\xe2\x82\xac", "$$$$$$$", "#0x0000"}) {
        SCOPED_TRACE(text);
        TTavelColorComboBox box;
        box.setHTMLcolor("#3456");
        box.setHTMLcolor(QString::fromUtf8(text));
        EXPECT_EQ(box.HTMLcolor(), "#3456");
        EXPECT_EQ(box.ColorValue(), 0x005634);
        EXPECT_EQ(box.currentIndex(), TTavelColorComboBox::CustomEntry);
    }
}

TEST(ColorCombo, VeryLongHtmlTextIsKeptToItsFirst255Characters) {
    TTavelColorComboBox box;
    const QString tail(100000, QChar(u'z'));
    box.setHTMLcolor("#0000ff" + tail);
    EXPECT_EQ(box.ColorValue(), clBlue);
    EXPECT_EQ(box.currentIndex(), 12);
    EXPECT_EQ(box.HTMLcolor(), ("#0000FF" + tail.toUpper()).left(255));

    // A character outside the basic plane is never cut in half.
    QString emoji = "#00FF00" + QString(247, QChar(u'a')) + QString::fromUtf8("\xf0\x9f\x98\x80");
    ASSERT_EQ(emoji.size(), 256);
    box.setHTMLcolor(emoji);
    EXPECT_EQ(box.ColorValue(), clLime);
    EXPECT_EQ(box.HTMLcolor().size(), 254);
}

TEST(ColorCombo, ShortHtmlTextThenColorValueGivesTheCanonicalText) {
    TTavelColorComboBox box;
    box.setHTMLcolor("#12");
    box.setColorValue(0x000012);
    EXPECT_EQ(box.HTMLcolor(), "#120000");
    EXPECT_EQ(box.currentIndex(), TTavelColorComboBox::CustomEntry);
}

TEST(ColorCombo, ColorValueSelectsTheFixedEntryOrTheCustomOne) {
    Counted t;
    t.box.setColorValue(clWhite);
    EXPECT_EQ(t.box.currentIndex(), 15);
    t.box.setColorValue(0x123456);
    EXPECT_EQ(t.box.currentIndex(), TTavelColorComboBox::CustomEntry);
    EXPECT_EQ(t.box.HTMLcolor(), "#563412");
    t.box.setColorValue(clTeal);
    EXPECT_EQ(t.box.currentIndex(), 6);
    EXPECT_EQ(t.box.HTMLcolor(), "#008080");
    t.box.setLanguage(lgDeutsch);
    EXPECT_EQ(t.changes, 0);
}

TEST(ColorCombo, SystemAndOddColoursAreStoredAsPlainRgb) {
    const QPalette saved = QApplication::palette();
    QPalette silver = saved;
    silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    silver.setColor(QPalette::Highlight, QColor(0x12, 0x34, 0x56));
    QApplication::setPalette(silver);

    TTavelColorComboBox box;
    box.setColorValue(clWindow);
    EXPECT_EQ(box.ColorValue(), clSilver);
    EXPECT_EQ(box.currentIndex(), 8);
    EXPECT_EQ(box.HTMLcolor(), "#C0C0C0");
    box.setColorValue(clHighlight);
    EXPECT_EQ(box.ColorValue(), 0x563412);
    EXPECT_EQ(box.currentIndex(), TTavelColorComboBox::CustomEntry);
    QApplication::setPalette(saved);

    box.setColorValue(static_cast<TColor>(0x02FF0000)); // palette-relative blue
    EXPECT_EQ(box.ColorValue(), clBlue);
    EXPECT_EQ(box.currentIndex(), 12);
    box.setColorValue(static_cast<TColor>(0xFF00FFFFu));
    EXPECT_EQ(box.ColorValue(), clYellow);
    EXPECT_EQ(box.HTMLcolor(), "#FFFF00");
}

TEST(ColorCombo, PropertiesAreReachableByName) {
    TTavelColorComboBox box;
    EXPECT_TRUE(box.setProperty("HTMLcolor", "#FFFF00"));
    EXPECT_EQ(box.property("ColorValue").toInt(), clYellow);
    EXPECT_TRUE(box.setProperty("ColorValue", 0x0000FF));
    EXPECT_EQ(box.property("HTMLcolor").toString(), "#FF0000");
    EXPECT_TRUE(box.setProperty("Language", QVariant::fromValue(lgFrensh)));
    EXPECT_EQ(box.Language(), lgFrensh);
}

TEST(ColorCombo, NamesFollowTheLanguage) {
    TTavelColorComboBox box;
    box.setColorValue(0x123456);
    EXPECT_EQ(box.currentText(), "More...");
    box.setLanguage(lgDeutsch);
    EXPECT_EQ(box.currentText(), "Mehr...");
    EXPECT_EQ(box.itemText(15), QString::fromUtf8("Weiß"));
    box.setLanguage(lgFrensh);
    EXPECT_EQ(box.currentText(), "Autres....");
    EXPECT_EQ(box.itemText(2), "Vert");
    EXPECT_EQ(box.itemText(10), "Vert");
    box.setLanguage(static_cast<TCLanguage>(7));
    EXPECT_EQ(box.EntryName(11), "Yellow");
    EXPECT_EQ(box.ColorValue(), 0x123456);
}

TEST(ColorCombo, ArrowKeyChoiceRaisesClickThenChangeOnce) {
    Counted t;
    t.box.setFocus();
    QTest::keyClick(&t.box, Qt::Key_Down);
    EXPECT_EQ(t.box.currentIndex(), 1);
    EXPECT_EQ(t.box.ColorValue(), clMaroon);
    EXPECT_EQ(t.box.HTMLcolor(), "#800000");
    EXPECT_EQ(t.events, (std::vector<std::string>{"click", "change"}));
    EXPECT_TRUE(test::Answers().colorRequests.empty());
}

TEST(ColorCombo, KeyOntoCustomEntryOpensTheChooserAtOnce) {
    Counted t;
    t.box.setColorValue(clWhite);
    test::Answers().colorAnswers.push_back(TColor(0x123456));
    QTest::keyClick(&t.box, Qt::Key_Down);
    EXPECT_EQ(test::Answers().colorRequests, std::vector<TColor>{clWhite});
    EXPECT_EQ(t.box.ColorValue(), 0x123456);
    EXPECT_EQ(t.box.HTMLcolor(), "#563412");
    EXPECT_EQ(t.box.currentIndex(), TTavelColorComboBox::CustomEntry);
    EXPECT_EQ(t.changes, 1);
}

TEST(ColorCombo, CancelledChooserChangesNothingButStillRaisesChange) {
    Counted t;
    t.box.setColorValue(clWhite);
    QTest::keyClick(&t.box, Qt::Key_Down); // no answer scripted: cancelled
    EXPECT_EQ(t.box.ColorValue(), clWhite);
    EXPECT_EQ(t.box.HTMLcolor(), "#FFFFFF");
    EXPECT_EQ(t.box.currentIndex(), TTavelColorComboBox::CustomEntry);
    EXPECT_EQ(t.changes, 1);
}

TEST(ColorCombo, ChosenFixedColourMovesTheSelection) {
    Counted t;
    t.box.setColorValue(clWhite);
    test::Answers().colorAnswers.push_back(clRed);
    QTest::keyClick(&t.box, Qt::Key_Down);
    EXPECT_EQ(t.box.currentIndex(), 9);
    EXPECT_EQ(t.box.ColorValue(), clRed);
}

TEST(ColorCombo, MouseClickInTheOpenListChoosesOnce) {
    QWidget window;
    window.resize(200, 200);
    auto* box = new TTavelColorComboBox(&window);
    int changes = 0;
    box->OnChange = [&](QObject*) { ++changes; };
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    EXPECT_EQ(list->visualRect(list->model()->index(3, 0)).height(), TTavelColorComboBox::EntryHeight);
    EXPECT_EQ(list->viewport()->height(), 8 * TTavelColorComboBox::EntryHeight);
    EXPECT_GE(list->window()->width(), box->width());

    list->scrollTo(list->model()->index(11, 0));
    const QRect yellow = list->visualRect(list->model()->index(11, 0));
    QTest::qWait(QApplication::doubleClickInterval() + 50); // the popup ignores an early release
    QTest::mouseMove(list->viewport(), yellow.center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, yellow.center());
    EXPECT_EQ(box->ColorValue(), clYellow);
    EXPECT_EQ(box->currentIndex(), 11);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(list->isVisible());
}

namespace {

TColor pixel(const QImage& image, int x, int y) { return FromQColor(image.pixelColor(x, y)); }

} // namespace

TEST(ColorCombo, EntryDrawingPlacesSwatchAndText) {
    TTavelColorComboBox box;
    box.setColorValue(0x336699);
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected);
        QImage image(120, 16, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        {
            TCanvas canvas(&image);
            canvas.Font = box.font();
            box.DrawEntry(canvas, TTavelColorComboBox::CustomEntry, TRect{0, 0, 120, 16}, selected);
        }
        const TColor back = selected ? ColorToRGB(clHighlight) : FromQColor(box.palette().color(QPalette::Base));
        EXPECT_EQ(pixel(image, 0, 0), back);
        EXPECT_EQ(pixel(image, 3, 8), back);
        EXPECT_EQ(pixel(image, 10, 0), back);
        EXPECT_EQ(pixel(image, 10, 15), back);
        // A 20 x 14 swatch from (4, 1) with a black outline.
        for (int y : {1, 14}) EXPECT_EQ(pixel(image, 12, y), clBlack);
        for (int x : {4, 23}) EXPECT_EQ(pixel(image, x, 8), clBlack);
        EXPECT_EQ(pixel(image, 5, 2), 0x336699);
        EXPECT_EQ(pixel(image, 22, 13), 0x336699);
        EXPECT_EQ(pixel(image, 24, 8), back);
        // The name starts at x = 30 on the entry's background.
        int inked = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 24; x < 120; ++x) {
                const TColor c = pixel(image, x, y);
                if (x < 30)
                    EXPECT_EQ(c, back) << x << "," << y;
                else if (c != back)
                    ++inked;
            }
        EXPECT_GT(inked, 20);
    }
}

TEST(ColorCombo, ClosedControlShowsTheCustomSwatchInTheCurrentColour) {
    TTavelColorComboBox box;
    box.setColorValue(0x123456);
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.rect = box.rect();
    const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box);
    const QImage shown = box.grab().toImage();
    const int y = field.center().y();
    EXPECT_EQ(pixel(shown, field.left() + 4, y), clBlack);
    EXPECT_EQ(pixel(shown, field.left() + 6, y), 0x123456);
    EXPECT_EQ(pixel(shown, 22, y), 0x123456);
    EXPECT_EQ(pixel(shown, 23, y), clBlack);

    box.setColorValue(0x00CC00); // still the custom entry, new colour
    EXPECT_EQ(pixel(box.grab().toImage(), 22, y), 0x00CC00);
}
