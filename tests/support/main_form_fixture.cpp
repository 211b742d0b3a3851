#include "tests/support/main_form_fixture.h"

#include "platform/application.h"
#include "platform/qt_printer.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace mx::test {

void MainFormTest::SetUp() {
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    geometry = TTestGeometry{};
    geometry.OffsetX = 100;
    geometry.OffsetY = 150;
}

void MainFormTest::CreateForm() {
    auto p = std::make_unique<TTestPrinter>(geometry);
    p->RenderScale = 0.1;
    printer = p.get();
    previous_ = SetPrinter(std::move(p));
    form = std::make_unique<TMainForm>();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    Flush();
}

void MainFormTest::TypeAndEnter(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
    Flush();
}

QByteArray MainFormTest::PrintFrontJobAsPdf(const QString& path) {
    SetPrinter(std::make_unique<TQtPrinter>(TQtPrinter::TOutput::Pdf));
    Answers().messageAnswers = {IDYES};
    Answers().saveFileAnswers = {path};
    form->PrintBtnClick(ui().PrintBtn);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QByteArray bytes = file.readAll();
    const qsizetype at = bytes.indexOf("/CreationDate");
    if (at >= 0) bytes.remove(at, bytes.indexOf('\n', at) - at);
    return bytes;
}

void MainFormTest::TearDown() {
    form.reset();
    if (previous_) SetPrinter(std::move(previous_));
    printer = nullptr;
}

void MainFormTest::Flush() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

} // namespace mx::test
