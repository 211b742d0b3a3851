#include "app/about_box.h"

#include "app/maker.h"
#include "controls/bitbtn_xp.h"
#include "platform/application.h"
#include "platform/fonts.h"
#include "platform/loading.h"
#include "ui_about_box.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace mx {

std::function<QDate()> TAboutBox::Today = [] { return QDate::currentDate(); };

QString NoticeWithYear(const QString& notice, int year) {
    QString text = notice;
    const qsizetype at = text.indexOf(QLatin1String("XXXX"));
    if (at >= 0) text.replace(at, 4, QString::number(year));
    return text;
}

TAboutBox::TAboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TAboutBox>()) {
    {
        TLoadingScope loading(this);
        ui->setupUi(this);
        setFixedSize(664, 453);
        UseClassicFormLook(*this);
        ui->ProductName->setFont(WindowsFont("Arial Narrow", 24, QFont::Bold));
        QPalette black = ui->ProductName->palette();
        black.setColor(QPalette::WindowText, Qt::black);
        ui->ProductName->setPalette(black);
        ui->Label1->setFont(WindowsFont("MS Sans Serif", 11, QFont::Bold));
        connect(ui->BitBtnXP1, &TBitBtnXP::OnClick, this, &TAboutBox::BitBtnXP1Click);
        // The OK button is first in the tab order and takes the focus.
        ui->BitBtn1->setFocus();
    }
    FormCreate();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::FormCreate() { ui->Copyright->setText(NoticeWithYear(ui->Copyright->text(), Today().year())); }

void TAboutBox::BitBtnXP1Click() { Application()->ShellOpen(MakerAddress); }

void TAboutBox::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::reject() { done(IDCANCEL); }

} // namespace mx
