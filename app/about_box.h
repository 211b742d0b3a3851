#pragma once
// The info dialog: who made the program, the rights notice with the
// current year, and a button that opens the maker's web site.
#include <QDate>
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TAboutBox;
}

namespace mx {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner = nullptr);
    ~TAboutBox() override;

    // Today's local date; replaceable so the year can be controlled.
    static std::function<QDate()> Today;

    void BitBtnXP1Click();

protected:
    void showEvent(QShowEvent* event) override;
    // Only OK, Enter and the close box end the dialog; it has no Cancel
    // button for Escape.
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    // The close box ends the dialog with the result Cancel.
    void reject() override;

private:
    void FormCreate();

    std::unique_ptr<Ui::TAboutBox> ui;
};

// The notice with its first "XXXX" replaced by the year.
QString NoticeWithYear(const QString& notice, int year);

} // namespace mx
