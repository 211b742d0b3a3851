// The printer setup dialog for PDF output, used with keys and the mouse.
#include "platform/printer_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;

namespace {

QPushButton* buttonWithText(QDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

} // namespace

TEST(PrinterSetupDialog, PdfOutputOffersPaperAndOrientationInGermanAndAppliesOnlyWhenAsked) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);

    TPrinterSetupDialog dialog(printer);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Druckereinrichtung");
    EXPECT_EQ(dialog.PrinterBox(), nullptr);
    ASSERT_NE(buttonWithText(dialog, "OK"), nullptr);
    ASSERT_NE(buttonWithText(dialog, "Abbrechen"), nullptr);
    EXPECT_EQ(dialog.PaperBox()->currentText(), QPageSize(QPageSize::A4).name());
    EXPECT_GE(dialog.PaperBox()->findText(QPageSize(QPageSize::Letter).name()), 0);
    EXPECT_TRUE(dialog.PortraitButton()->isChecked());

    // A5 follows A4 in the list: one step down with the keyboard.
    dialog.PaperBox()->setFocus();
    QTest::keyClick(dialog.PaperBox(), Qt::Key_Down);
    EXPECT_EQ(dialog.PaperBox()->currentText(), QPageSize(QPageSize::A5).name());
    QTest::mouseClick(dialog.LandscapeButton(), Qt::LeftButton);
    // Nothing reaches the printer before Apply.
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);

    QTest::mouseClick(buttonWithText(dialog, "OK"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.Apply(printer);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

TEST(PrinterSetupDialog, AnUnlistedPaperSizeOfThePrinterIsOfferedAndKept) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::B4));
    TPrinterSetupDialog dialog(printer);
    EXPECT_EQ(dialog.PaperBox()->currentText(), QPageSize(QPageSize::B4).name());
    QTest::mouseClick(buttonWithText(dialog, "Abbrechen"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.Apply(printer);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::B4);
}
