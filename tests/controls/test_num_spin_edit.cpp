// The numeric spin field as the main window uses it: when OnChange fires,
// stepping, typing, keys, focus and layout.
#include "controls/num_spin_edit.h"

#include "controls/diagonal_spin_button.h"
#include "controls/spin_up_down.h"
#include "platform/application.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using namespace mx;

namespace {

void ConfigureZoom(TNumSpinEdit& f) {
    f.setIncrement(10);
    f.setMaxValue(500);
    f.setMinValue(10);
    f.setValue(30);
}
void ConfigureEdge(TNumSpinEdit& f) {
    f.setValueType(vtFloat);
    f.setValue(30);
}
void ConfigureCopies(TNumSpinEdit& f) {
    f.setMaxValue(100);
    f.setMinValue(1);
    f.setValue(1);
}

// A window with the field, a second control to move the focus to, and the
// field's events counted.
struct Form {
    QWidget window;
    TNumSpinEdit* field = new TNumSpinEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
    int changes = 0, tops = 0, bottoms = 0;
    QStringList texts; // the text at every OnChange

    explicit Form(void (*configure)(TNumSpinEdit&) = nullptr) {
        window.resize(200, 100);
        field->setGeometry(10, 10, 65, 21);
        other->setGeometry(10, 40, 65, 21);
        if (configure) configure(*field);
        field->OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, field);
            ++changes;
            texts << field->text();
        };
        field->OnTopClick = [this](QObject*) { ++tops; };
        field->OnBottomClick = [this](QObject*) { ++bottoms; };
    }
    void show() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void type(const QString& keys) {
        for (QChar c : keys) {
            QTest::sendKeyEvent(QTest::Press, field, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, field, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
        }
    }
    // Enters the field as the Tab key would.
    void tabIn() {
        other->setFocus(Qt::TabFocusReason);
        field->setFocus(Qt::TabFocusReason);
    }
};

int Beeps() { return Application()->BeepCount; }

} // namespace

TEST(NumSpinEdit, FreshFieldAndValueTypeChanges) {
    Form f;
    EXPECT_EQ(f.field->text(), "0");
    EXPECT_EQ(f.field->ValueType(), vtInteger);
    f.field->setValueType(vtFloat);
    EXPECT_EQ(f.field->text(), "0,00");
    EXPECT_EQ(f.changes, 1);

    // Back to an integer type: the text "0,00" no longer parses, so it reads
    // as the minimum; the increment becomes a whole number, never 0.
    f.field->setMinValue(4);
    f.field->setMaxValue(9);
    f.field->setIncrement(0.4);
    f.field->setValueType(vtHex);
    EXPECT_EQ(f.field->text(), "4");
    EXPECT_EQ(f.field->Increment(), 1);
    f.field->setIncrement(2.6);
    f.field->setValueType(vtInteger);
    EXPECT_EQ(f.field->Increment(), 3);
    EXPECT_EQ(f.changes, 2);
}

TEST(NumSpinEdit, StepsNotifyOnlyWhenTheTextChangesButAlwaysClick) {
    Form f(ConfigureZoom);
    EXPECT_EQ(f.field->text(), "30");
    f.field->StepUp();
    EXPECT_EQ(f.field->text(), "40");
    EXPECT_EQ(f.changes, 1);
    EXPECT_EQ(f.tops, 1);
    EXPECT_TRUE(f.field->isModified());

    f.field->setValue(500);
    EXPECT_EQ(f.changes, 2);
    f.field->StepUp();
    EXPECT_EQ(f.field->text(), "500");
    EXPECT_EQ(f.changes, 2);
    EXPECT_EQ(f.tops, 2);

    f.field->setValue(10);
    f.field->StepDown();
    EXPECT_EQ(f.field->text(), "10");
    EXPECT_EQ(f.bottoms, 1);
    EXPECT_EQ(f.changes, 3);

    // Unparsable text steps from the minimum; the handler sees the new text.
    f.field->setText("abc");
    f.field->StepUp();
    EXPECT_EQ(f.texts.last(), "20");

    // A step compares the texts ignoring case: "ff" becoming "FF" is no change.
    Form hex;
    hex.field->setMaxValue(255);
    hex.field->setValueType(vtHex);
    hex.field->setText("ff");
    hex.changes = 0;
    hex.field->StepUp();
    EXPECT_EQ(hex.field->text(), "FF");
    EXPECT_EQ(hex.changes, 0);
    EXPECT_EQ(hex.tops, 1);
}

TEST(NumSpinEdit, ProgrammaticWritesNotifyOnceAndOnlyForADifferentText) {
    Form f;
    f.field->setValueType(vtFloat);
    f.changes = 0;
    f.texts.clear();
    f.field->setText("3");
    EXPECT_EQ(f.changes, 1);
    f.field->setValue(3);
    EXPECT_EQ(f.field->text(), "3,00");
    EXPECT_EQ(f.changes, 2);
    f.field->setValue(3);
    f.field->setText("3,00");
    EXPECT_EQ(f.changes, 2);
    f.field->setDecimal(3);
    EXPECT_EQ(f.field->text(), "3,000");
    EXPECT_EQ(f.changes, 3);
    f.field->setDecimal(3);
    EXPECT_EQ(f.changes, 3);
    EXPECT_EQ(f.texts, QStringList({"3", "3,00", "3,000"}));
}

TEST(NumSpinEdit, ReadingNeverClampsAndFallsBackToTheMinimum) {
    Form edge(ConfigureEdge), copies(ConfigureCopies);
    for (const char* text : {"", "-"}) {
        edge.field->setText(text);
        copies.field->setText(text);
        EXPECT_EQ(edge.field->Value(), 0);
        EXPECT_EQ(copies.field->Value(), 1);
    }
    copies.field->setText("1000");
    EXPECT_EQ(copies.field->Value(), 1000);
    edge.field->setValue(-4);
    EXPECT_EQ(edge.field->text(), "-4,00");
    edge.field->setValue(1e6);
    EXPECT_EQ(edge.field->text(), "1000000,00");
}

TEST(NumSpinEdit, LeavingTheFieldClampsOnlyOutOfRangeValues) {
    Form zoom(ConfigureZoom);
    zoom.show();
    zoom.tabIn();
    EXPECT_EQ(zoom.field->selectedText(), "30");
    QTest::keyClick(zoom.field, Qt::Key_5);
    EXPECT_EQ(zoom.field->text(), "5");
    EXPECT_EQ(zoom.field->Value(), 5);
    EXPECT_EQ(zoom.changes, 1);
    zoom.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(zoom.field->text(), "10");
    EXPECT_EQ(zoom.changes, 2);

    // Unparsable text stays: its fallback lies within the limits.
    zoom.tabIn();
    QTest::keyClick(zoom.field, Qt::Key_Minus);
    zoom.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(zoom.field->text(), "-");
    EXPECT_EQ(zoom.changes, 3);
}

TEST(NumSpinEdit, FieldsWithEqualLimitsAreNeverRewrittenOnExit) {
    Form edge(ConfigureEdge);
    edge.show();
    edge.field->setValue(-4);
    edge.changes = 0;
    edge.tabIn();
    edge.other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edge.field->text(), "-4,00");
    EXPECT_EQ(edge.changes, 0);
}

TEST(NumSpinEdit, TypingIsFilteredWithABeep) {
    Form edge(ConfigureEdge);
    edge.show();
    edge.tabIn();
    edge.type("1,5");
    EXPECT_EQ(edge.field->text(), "1,5");
    EXPECT_EQ(edge.changes, 3);
    const int beeps = Beeps();
    edge.type(",a.ä ");
    EXPECT_EQ(edge.field->text(), "1,5");
    EXPECT_EQ(Beeps(), beeps + 5);
    edge.type("e");
    edge.type("E");
    edge.type("e");
    EXPECT_EQ(edge.field->text(), "1,5e");
    EXPECT_EQ(edge.field->Value(), 0) << "an incomplete exponent reads as the minimum";
    EXPECT_EQ(Beeps(), beeps + 7);
    QTest::keyClick(edge.field, Qt::Key_Backspace);
    QTest::keyClick(edge.field, Qt::Key_Home);
    QTest::keyClick(edge.field, Qt::Key_Delete);
    EXPECT_EQ(edge.field->text(), ",5");
    EXPECT_EQ(edge.field->Value(), 0.5);

    edge.field->selectAll();
    edge.type("1e999");
    EXPECT_EQ(edge.field->text(), "1e999");
    EXPECT_EQ(edge.field->Value(), 0);
}

TEST(NumSpinEdit, PastedTextIsNotFilteredAndNeverBreaksReading) {
    Form copies(ConfigureCopies);
    copies.show();
    copies.tabIn();
    for (const QString& pasted : {QString(10000, u'7'), QString("\x01 1e999 ä😀"), QString("12")}) {
        const int before = copies.changes;
        QApplication::clipboard()->setText(pasted);
        copies.field->selectAll();
        QTest::keyClick(copies.field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(copies.changes, before + 1);
        EXPECT_EQ(copies.field->Value(), pasted == "12" ? 12 : 1);
    }
}

TEST(NumSpinEdit, EnterAndEscClickTheDialogButtonsAndChangeNothing) {
    Form f(ConfigureZoom);
    auto* ok = new QPushButton("OK", &f.window);
    auto* cancel = new QPushButton("Abbrechen", &f.window);
    ok->move(100, 10);
    cancel->move(100, 40);
    ok->setDefault(true);
    cancel->setProperty("Cancel", true);
    int oks = 0, cancels = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++oks; });
    QObject::connect(cancel, &QPushButton::clicked, [&] { ++cancels; });
    f.show();
    f.field->setFocus();

    QTest::keyClick(f.field, Qt::Key_Return);
    QTest::keyClick(f.field, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(f.field, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(oks, 2);
    QTest::keyClick(f.field, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(f.field->text(), "30");
    EXPECT_EQ(f.changes, 0);

    // A custom button marks itself with a Default property.
    ok->setDefault(false);
    auto* custom = new QToolButton(&f.window);
    custom->move(150, 10);
    custom->setProperty("Default", true);
    custom->show();
    int customs = 0;
    QObject::connect(custom, &QToolButton::clicked, [&] { ++customs; });
    QTest::keyClick(f.field, Qt::Key_Return);
    EXPECT_EQ(customs, 1);
    EXPECT_EQ(oks, 2);
}

TEST(NumSpinEdit, ArrowKeysStepAndAreConsumed) {
    Form f(ConfigureZoom);
    f.show();
    f.field->setFocus();
    f.field->setCursorPosition(1);
    QTest::keyClick(f.field, Qt::Key_Up);
    EXPECT_EQ(f.field->text(), "40");
    QTest::keyClick(f.field, Qt::Key_Down);
    QTest::keyClick(f.field, Qt::Key_Down);
    EXPECT_EQ(f.field->text(), "20");
    EXPECT_EQ(f.tops, 1);
    EXPECT_EQ(f.bottoms, 2);
    EXPECT_EQ(f.changes, 3);
    EXPECT_FALSE(f.field->hasSelectedText());

    f.field->setArrowKeys(false);
    QTest::keyClick(f.field, Qt::Key_Up);
    EXPECT_EQ(f.field->text(), "20");
    EXPECT_EQ(f.tops, 1);
}

TEST(NumSpinEdit, ReadOnlyBeepsOnStepsEditorDisabledStillSteps) {
    Form f(ConfigureZoom);
    f.show();
    f.field->setFocus();
    f.field->setReadOnly(true);
    const int beeps = Beeps();
    f.field->StepUp();
    QTest::keyClick(f.field, Qt::Key_Down);
    EXPECT_EQ(Beeps(), beeps + 2);
    f.type("7");
    EXPECT_EQ(f.field->text(), "30");
    EXPECT_EQ(f.changes + f.tops + f.bottoms, 0);

    f.field->setReadOnly(false);
    f.field->setEditorEnabled(false);
    f.field->setCursorPosition(2);
    f.type("7");
    QTest::keyClick(f.field, Qt::Key_Backspace);
    EXPECT_EQ(Beeps(), beeps + 4);
    QTest::keyClick(f.field, Qt::Key_Home);
    QTest::keyClick(f.field, Qt::Key_Delete);
    QApplication::clipboard()->setText("99");
    QTest::keyClick(f.field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.field->text(), "30");
    f.field->StepUp();
    EXPECT_EQ(f.field->text(), "40");
    EXPECT_EQ(f.changes, 1);
}

TEST(NumSpinEdit, WriteBackIntoTheOwnFieldEndsOnTheSecondPass) {
    Form f(ConfigureEdge);
    f.show();
    int passes = 0;
    f.field->OnChange = [&](QObject*) {
        ASSERT_LT(++passes, 10);
        f.field->setValue(f.field->Value());
    };
    f.field->setText("3");
    EXPECT_EQ(f.field->text(), "3,00");
    EXPECT_EQ(passes, 2);

    // The same from the keyboard, re-entering the edit control.
    passes = 0;
    f.tabIn();
    f.type("7");
    EXPECT_EQ(f.field->text(), "7,00");
    EXPECT_EQ(passes, 2);
}

TEST(NumSpinEdit, HandlersWritingIntoEachOtherEnd) {
    // Two edges kept in order by a rule that writes both back.
    QWidget window;
    TNumSpinEdit left(&window), right(&window);
    ConfigureEdge(left);
    ConfigureEdge(right);
    right.setValue(50);
    int passes = 0;
    auto normalise = [&](QObject*) {
        ASSERT_LT(++passes, 20);
        double l = left.Value(), r = right.Value();
        if (l > r) std::swap(l, r);
        left.setValue(l);
        right.setValue(r);
    };
    left.OnChange = normalise;
    right.OnChange = normalise;
    left.setValue(70.25);
    EXPECT_EQ(left.text(), "50,00");
    EXPECT_EQ(right.text(), "70,25");
    EXPECT_LE(passes, 4);
    passes = 0;
    right.setText("1");
    EXPECT_EQ(left.text(), "1,00");
    EXPECT_EQ(right.text(), "50,00");
    EXPECT_LE(passes, 4);
}

TEST(NumSpinEdit, DestructionRaisesNothing) {
    auto window = std::make_unique<QWidget>();
    auto* field = new TNumSpinEdit(window.get());
    field->setValueType(vtFloat);
    int changes = 0;
    field->OnChange = [&](QObject*) { ++changes; };
    window.reset();
    EXPECT_EQ(changes, 0);
}

TEST(NumSpinEdit, LayoutOfTheButtons) {
    Form f(ConfigureZoom);
    f.show();
    ASSERT_NE(f.field->DiagonalButton(), nullptr);
    EXPECT_EQ(f.field->UpDown(), nullptr);
    EXPECT_EQ(f.field->DiagonalButton()->geometry(), QRect(45, 1, 18, 18));
    EXPECT_EQ(f.field->textMargins().right(), 20);
    f.field->setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(f.field->DiagonalButton()->geometry(), QRect(1, 1, 18, 18));
    EXPECT_EQ(f.field->textMargins().left(), 19);
    f.field->setLayoutDirection(Qt::LeftToRight);

    f.field->resize(65, 5);
    EXPECT_EQ(f.field->height(), f.field->MinimumHeight());
    EXPECT_EQ(f.field->MinimumHeight(), f.field->fontMetrics().height() + 5);
    EXPECT_EQ(f.field->DiagonalButton()->height(), f.field->height() - 3);

    f.field->setButtonKind(bkStandard);
    EXPECT_EQ(f.field->DiagonalButton(), nullptr);
    ASSERT_NE(f.field->UpDown(), nullptr);
    const int width = std::min(f.field->style()->pixelMetric(QStyle::PM_ScrollBarExtent), 15);
    EXPECT_EQ(f.field->UpDown()->width(), width);
    f.field->UpDown()->resize(40, 10);
    EXPECT_EQ(f.field->UpDown()->width(), width);
}

TEST(NumSpinEdit, UpDownControlFocusesAndSteps) {
    Form f(ConfigureZoom);
    f.field->setButtonKind(bkStandard);
    f.show();
    f.other->setFocus();
    f.field->UpDown()->UpButton()->click();
    EXPECT_TRUE(f.field->hasFocus());
    EXPECT_EQ(f.field->text(), "40");
    f.field->UpDown()->DownButton()->click();
    EXPECT_EQ(f.field->text(), "30");
    EXPECT_EQ(f.tops, 1);
    EXPECT_EQ(f.bottoms, 1);
}

TEST(NumSpinEdit, ErrorsOfHandlersPassOn) {
    Form f(ConfigureZoom);
    f.field->OnChange = [](QObject*) { throw std::runtime_error("kaputt"); };
    EXPECT_THROW(f.field->StepUp(), std::runtime_error);
    EXPECT_EQ(f.field->text(), "40");
    // The changing flag was cleared: the next write notifies again.
    EXPECT_THROW(f.field->setValue(60), std::runtime_error);
}
