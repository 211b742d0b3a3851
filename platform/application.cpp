#include "platform/application.h"

#include "platform/exception.h"
#include "platform/printer_setup_dialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

namespace mx {

TAnswerer::~TAnswerer() = default;

std::optional<QString> TAnswerer::OpenFileName(const QString&, const QString&) { return std::nullopt; }

int TAnswerer::ExecDialog(QWidget& dialog) {
    if (auto* d = qobject_cast<QDialog*>(&dialog)) return d->exec();
    return 0;
}

namespace {

// Real dialogs, for the running program.
class DialogAnswerer : public TAnswerer {
public:
    int MessageBox(const QString& text, const QString& caption, int flags) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(caption);
        box.setText(text);
        switch (flags & 0xF0) {
        case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        struct Choice {
            QString label;
            int id;
            QMessageBox::ButtonRole role;
        };
        QList<Choice> choices;
        switch (flags & 0x0F) {
        case MB_OKCANCEL:
            choices = {{"OK", IDOK, QMessageBox::AcceptRole}, {"Abbrechen", IDCANCEL, QMessageBox::RejectRole}};
            break;
        case MB_YESNOCANCEL:
            choices = {{"&Ja", IDYES, QMessageBox::YesRole},
                       {"&Nein", IDNO, QMessageBox::NoRole},
                       {"Abbrechen", IDCANCEL, QMessageBox::RejectRole}};
            break;
        case MB_YESNO: choices = {{"&Ja", IDYES, QMessageBox::YesRole}, {"&Nein", IDNO, QMessageBox::NoRole}}; break;
        default: choices = {{"OK", IDOK, QMessageBox::AcceptRole}}; break;
        }
        const int defaultIndex = (flags & MB_DEFBUTTON3) ? 2 : (flags & MB_DEFBUTTON2) ? 1 : 0;
        QList<QAbstractButton*> buttons;
        for (const Choice& c : choices) buttons.append(box.addButton(c.label, c.role));
        box.setDefaultButton(
            qobject_cast<QPushButton*>(buttons.value(std::min<int>(defaultIndex, int(buttons.size()) - 1))));
        // Closing the box answers Cancel where there is one, else OK.
        box.setEscapeButton(buttons.back());
        box.exec();
        const int index = int(buttons.indexOf(box.clickedButton()));
        if (index < 0) return (flags & 0x0F) == MB_OK ? IDOK : IDCANCEL;
        return choices[index].id;
    }

    std::optional<TColor> ChooseColor(TColor initial) override {
        const QColor c = QColorDialog::getColor(ToQColor(initial), QApplication::activeWindow());
        if (!c.isValid()) return std::nullopt;
        return FromQColor(c);
    }

    bool PrinterSetup(QPrinter& printer) override {
        TPrinterSetupDialog dialog(printer, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted) return false;
        dialog.Apply(printer);
        return true;
    }

    std::optional<QString> OpenFileName(const QString& caption, const QString& filter) override {
        const QString name =
            QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QDir::homePath(), filter);
        if (name.isEmpty()) return std::nullopt;
        return name;
    }

    std::optional<QString> SaveFileName(const QString& caption, const QString& proposed) override {
        // The proposed name's kind is the kind of file to save.
        const QString filter = proposed.endsWith(".png", Qt::CaseInsensitive) ? QStringLiteral("PNG-Bilder (*.png)")
                                                                              : QStringLiteral("PDF-Dokumente (*.pdf)");
        const QString name = QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, proposed, filter);
        if (name.isEmpty()) return std::nullopt;
        return name;
    }
};

} // namespace

QString WithFullStop(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
    return message;
}

void TApplication::HandleException(const std::exception& e) {
    if (const auto* mx = dynamic_cast<const Exception*>(&e))
        ShowException(mx->Message());
    else
        ShowException(QString::fromLocal8Bit(e.what()));
}

void TApplication::ShowException(const QString& message) {
    MessageBox(WithFullStop(message), Title, MB_OK | MB_ICONERROR);
}

bool TApplication::Guard(const std::function<void()>& f) {
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        HandleException(e);
    }
    return false;
}

TAnswerer& TApplication::Answerer() {
    if (!answerer_) answerer_ = std::make_unique<DialogAnswerer>();
    return *answerer_;
}

std::unique_ptr<TAnswerer> TApplication::SetAnswerer(std::unique_ptr<TAnswerer> answerer) {
    std::swap(answerer, answerer_);
    return answerer;
}

int TApplication::MessageBox(const QString& text, const QString& caption, int flags) {
    return Answerer().MessageBox(text, caption, flags);
}
std::optional<TColor> TApplication::ChooseColor(TColor initial) { return Answerer().ChooseColor(initial); }
bool TApplication::PrinterSetup(QPrinter& printer) { return Answerer().PrinterSetup(printer); }
std::optional<QString> TApplication::SaveFileName(const QString& caption, const QString& proposed) {
    return Answerer().SaveFileName(caption, proposed);
}
std::optional<QString> TApplication::OpenFileName(const QString& caption, const QString& filter) {
    return Answerer().OpenFileName(caption, filter);
}
int TApplication::ExecDialog(QWidget& dialog) { return Answerer().ExecDialog(dialog); }

void TApplication::ProcessMessages() { QApplication::processEvents(QEventLoop::AllEvents); }

void TApplication::Beep() {
    ++BeepCount;
    QApplication::beep();
}

void TApplication::ShellOpen(const QString& target) {
    if (ShellHook) {
        ShellHook(target);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

void TApplication::HelpCommand(int command, int) { LastHelpCommand = command; }

TApplication* Application() {
    static TApplication app;
    return &app;
}

} // namespace mx
