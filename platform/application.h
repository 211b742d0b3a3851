#pragma once
// The application object: title, main form, the default error handler,
// message boxes with Windows-style flags and results, and the one
// replaceable answerer through which every modal question passes.
#include "platform/colors.h"

#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QWidget;
class QPrinter;

namespace mx {

// Message box flags and results (Windows values).
enum : int {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Every modal question or dialog goes through this interface; the default
// implementation shows real Qt dialogs, tests install a scripted one.
class TAnswerer {
public:
    virtual ~TAnswerer();
    // Returns IDOK, IDYES, ... ; IDCANCEL when the box was closed.
    virtual int MessageBox(const QString& text, const QString& caption, int flags) = 0;
    // The chosen colour, or nothing when cancelled.
    virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
    // Printer setup on the given printer; true when confirmed.
    virtual bool PrinterSetup(QPrinter& printer) = 0;
    // A file to save into, proposed name given; nothing when cancelled.
    virtual std::optional<QString> SaveFileName(const QString& caption, const QString& proposed) = 0;
    // An existing file to open, of the kinds the filter names; nothing
    // when cancelled. By default none is chosen.
    virtual std::optional<QString> OpenFileName(const QString& caption, const QString& filter);
    // Runs a modal dialog; returns its result code.
    virtual int ExecDialog(QWidget& dialog);
};

class TApplication {
public:
    QString Title;
    QWidget* MainForm = nullptr;
    QString HelpFile;

    // Shows the exception's message captioned with the title; the caller
    // carries on in its loop.
    void HandleException(const std::exception& e);
    void ShowException(const QString& message);
    // Runs f; an exception escaping it goes to HandleException. True when
    // f ran to its end.
    bool Guard(const std::function<void()>& f);

    int MessageBox(const QString& text, const QString& caption, int flags);
    std::optional<TColor> ChooseColor(TColor initial);
    bool PrinterSetup(QPrinter& printer);
    std::optional<QString> SaveFileName(const QString& caption, const QString& proposed);
    std::optional<QString> OpenFileName(const QString& caption, const QString& filter);
    int ExecDialog(QWidget& dialog);

    void ProcessMessages();
    void Beep();

    // Shell "open" on an address; failures pass silently.
    void ShellOpen(const QString& target);
    // The help system stand-in: records the command only.
    void HelpCommand(int command, int data);

    // Replaces the answerer (tests); returns the previous one.
    std::unique_ptr<TAnswerer> SetAnswerer(std::unique_ptr<TAnswerer> answerer);
    TAnswerer& Answerer();

    // Hooks for tests: shell requests, beeps and help commands.
    std::function<bool(const QString&)> ShellHook;
    int BeepCount = 0;
    int LastHelpCommand = -1;

private:
    std::unique_ptr<TAnswerer> answerer_;
};

TApplication* Application();

// The message text as the error handler shows it: a full stop is appended
// when the last character sorts after ".".
QString WithFullStop(const QString& message);

constexpr int HELP_QUIT = 2;

} // namespace mx
