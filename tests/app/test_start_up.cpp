// What start-up waits for: nothing of a print system that is slow to
// answer. The window works at once; the preview shows the sheet once the
// print system has answered.
#include "app/main_form.h"
#include "controls/num_spin_edit.h"
#include "platform/qt_printer.h"
#include "tests/support/test_support.h"
#include "ui_main_form.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

// A print server that takes every connection and never says a word.
class SilentPrintServer {
public:
    SilentPrintServer() {
        server_.listen(dir_.filePath("cups.sock"));
        QObject::connect(&server_, &QLocalServer::newConnection, [this] {
            while (QLocalSocket* c = server_.nextPendingConnection()) held_.push_back(c);
        });
        previous_ = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", server_.fullServerName().toLocal8Bit());
    }
    ~SilentPrintServer() {
        Close();
        qputenv("CUPS_SERVER", previous_);
        if (previous_.isEmpty()) qunsetenv("CUPS_SERVER");
    }
    bool Listening() const { return server_.isListening(); }
    // Drops every connection: whoever waits on one gets an error at once.
    void Close() {
        for (QLocalSocket* c : held_) c->abort();
        qDeleteAll(held_);
        held_.clear();
        server_.close();
    }

private:
    QTemporaryDir dir_;
    QLocalServer server_;
    std::vector<QLocalSocket*> held_;
    QByteArray previous_;
};

} // namespace

TEST(StartUp, APrintSystemSlowToAnswerHoldsUpNothing) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    SilentPrintServer cups;
    ASSERT_TRUE(cups.Listening());
    auto previous = SetPrinter(std::make_unique<TQtPrinter>());
    Printer()->AskInBackground();
    {
        TMainForm form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        // The window took keys while the print system kept silent.
        TNumSpinEdit* zoom = form.Controls().ZoomEd;
        zoom->setFocus();
        zoom->selectAll();
        QTest::keyClicks(zoom, "50");
        QTest::qWait(50);
        EXPECT_EQ(zoom->text(), "50");
        EXPECT_FALSE(Printer()->Ready());
        EXPECT_FALSE(form.AreaInitialised);
        EXPECT_TRUE(Answers().Errors().isEmpty());

        // Once it answers (here: it hangs up), the sheet is shown.
        cups.Close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.AreaInitialised; }, 30000));
        EXPECT_TRUE(Printer()->Ready());
        EXPECT_GT(form.SheetWidthMm, 0);
    }
    SetPrinter(std::move(previous));
}
