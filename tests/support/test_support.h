#pragma once
// Shared test helpers: a scripted answerer that records every modal
// question and answers from a queue, so no test ever blocks on a dialog.
#include "platform/application.h"
#include "platform/exception.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <ostream>

class QPrinter;
class QWidget;

namespace mx::test {

struct AskedMessage {
    QString text;
    QString caption;
    int flags;
};

class ScriptedAnswerer : public TAnswerer {
public:
    std::deque<int> messageAnswers; // default IDOK / IDCANCEL when empty
    std::deque<std::optional<TColor>> colorAnswers;
    std::deque<bool> printerSetupAnswers;
    std::function<void(QPrinter&)> onPrinterSetup;
    std::deque<QString> saveFileAnswers; // an empty name cancels
    std::deque<QString> openFileAnswers; // an empty name cancels
    std::function<int(QWidget&)> onDialog;

    std::vector<AskedMessage> messages;
    std::vector<TColor> colorRequests;
    QStringList saveFileProposals;
    int openFileRequests = 0;
    int printerSetups = 0;
    int dialogs = 0;

    int MessageBox(const QString& text, const QString& caption, int flags) override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    bool PrinterSetup(QPrinter& printer) override;
    std::optional<QString> SaveFileName(const QString& caption, const QString& proposed) override;
    std::optional<QString> OpenFileName(const QString& caption, const QString& filter) override;
    int ExecDialog(QWidget& dialog) override;

    // Messages shown by the default error handler.
    QStringList Errors() const;
};

// The answerer installed for the running test (reset before each test).
ScriptedAnswerer& Answers();
// Installs a fresh one; done before each test, but a death test's child
// process hears of no test starting and must do it itself.
void InstallFreshAnswerer();

// The message of the printer error f raises; empty when it raises none.
// The message of the error of type E that f raises; empty when it raises
// none.
template <class E>
QString MessageOfError(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return {};
}
inline QString PrinterErrorOf(const std::function<void()>& f) { return MessageOfError<EPrinter>(f); }

// A turn of the mouse wheel by `notches` (positive: away from the user)
// over the middle of w, one event per notch, delivered as the window system
// delivers it. w's window must be shown.
void SendWheel(QWidget* w, int notches);

// Path of a file in tests/data.
QString DataPath(const QString& relative);

} // namespace mx::test

// Rectangles in failure messages as x, y, width x height.
void PrintTo(const QRect& rect, std::ostream* os);
