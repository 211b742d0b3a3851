#include "tests/support/test_support.h"

#include "platform/exception.h"

#include <QApplication>
#include <QDialog>
#include <QProcessEnvironment>
#include <QWindow>
#include <cstdlib>
#include <qpa/qwindowsysteminterface.h>
#include <stdexcept>

namespace mx::test {

int ScriptedAnswerer::MessageBox(const QString& text, const QString& caption, int flags) {
    messages.push_back({text, caption, flags});
    if (messageAnswers.empty()) return (flags & 0x0F) == MB_OK ? IDOK : IDCANCEL;
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<TColor> ScriptedAnswerer::ChooseColor(TColor initial) {
    colorRequests.push_back(initial);
    if (colorAnswers.empty()) return std::nullopt;
    auto answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
}

bool ScriptedAnswerer::PrinterSetup(QPrinter& printer) {
    ++printerSetups;
    if (onPrinterSetup) onPrinterSetup(printer);
    if (printerSetupAnswers.empty()) return false;
    const bool answer = printerSetupAnswers.front();
    printerSetupAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedAnswerer::SaveFileName(const QString&, const QString& proposed) {
    saveFileProposals.append(proposed);
    if (saveFileAnswers.empty()) return std::nullopt;
    const QString answer = saveFileAnswers.front();
    saveFileAnswers.pop_front();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
}

std::optional<QString> ScriptedAnswerer::OpenFileName(const QString&, const QString&) {
    ++openFileRequests;
    if (openFileAnswers.empty()) return std::nullopt;
    const QString answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    if (answer.isEmpty()) return std::nullopt;
    return answer;
}

int ScriptedAnswerer::ExecDialog(QWidget& dialog) {
    ++dialogs;
    if (onDialog) return onDialog(dialog);
    return QDialog::Rejected;
}

QStringList ScriptedAnswerer::Errors() const {
    QStringList errors;
    for (const auto& m : messages)
        if (m.flags == (MB_OK | MB_ICONERROR) && m.caption == Application()->Title) errors.append(m.text);
    return errors;
}

static ScriptedAnswerer* current = nullptr;

ScriptedAnswerer& Answers() { return *current; }

void InstallFreshAnswerer() {
    auto fresh = std::make_unique<ScriptedAnswerer>();
    current = fresh.get();
    Application()->SetAnswerer(std::move(fresh));
}

void SendWheel(QWidget* w, int notches) {
    // Through the window system's queue, as a real wheel arrives: Qt then
    // hands focus to a widget that takes it by the wheel before any event
    // filter sees the event.
    QWidget* top = w->window();
    QWindow* window = top->windowHandle();
    if (!window) throw std::logic_error("SendWheel: the widget's window is not shown");
    const QPoint global = w->mapToGlobal(w->rect().center());
    for (int i = 0; i < std::abs(notches); ++i) {
        QWindowSystemInterface::handleWheelEvent(window, window->mapFromGlobal(QPointF(global)), QPointF(global),
                                                 QPoint(), QPoint(0, notches > 0 ? 120 : -120));
        QWindowSystemInterface::flushWindowSystemEvents();
    }
}

QString DataPath(const QString& relative) {
    QString root = QProcessEnvironment::systemEnvironment().value("MARBELUX_TEST_DATA");
    if (root.isEmpty()) root = QStringLiteral(MARBELUX_TEST_DATA_DIR);
    return root + '/' + relative;
}

} // namespace mx::test

void PrintTo(const QRect& rect, std::ostream* os) {
    *os << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height();
}
