#pragma once
// A shown main window on a scripted test printer, settings in a private
// folder, for the window-level tests.
#include "app/main_form.h"
#include "tests/support/test_printer.h"

#include <QTemporaryDir>

class QLineEdit;
#include <gtest/gtest.h>
#include <memory>

namespace mx::test {

class MainFormTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lets every pending paint and posted event run.
    static void Flush();
    Ui::TMainForm& ui() { return form->Controls(); }

    // Types text into a field key by key and presses Enter.
    static void TypeAndEnter(QLineEdit* field, const QString& text);

    // Prints the front job into a PDF file at path, on a PDF printer of its
    // own (a reused one carries state over), and gives the file's bytes
    // without its creation date, the only thing two runs may differ in.
    QByteArray PrintFrontJobAsPdf(const QString& path);

    TTestGeometry geometry; // change before CreateForm()
    TTestPrinter* printer = nullptr;
    std::unique_ptr<TMainForm> form;
    void CreateForm();

private:
    QTemporaryDir config_;
    std::unique_ptr<TPrinter> previous_;
};

} // namespace mx::test
