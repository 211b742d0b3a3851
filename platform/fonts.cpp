#include "platform/fonts.h"

#include "platform/colors.h"

#include <QPalette>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace mx {

void InstallFontSubstitutes() {
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Arial Narrow", {"Liberation Sans Narrow", "Liberation Sans"});
    QFont::insertSubstitutions("MS Serif", {"Liberation Serif", "DejaVu Serif"});
    QFont::insertSubstitutions("Arial Black", {"DejaVu Sans", "Liberation Sans"});
}

QFont WindowsFont(const QString& family, int pixels, QFont::Weight weight) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setWeight(weight);
    return f;
}

void UseClassicFormLook(QWidget& form) {
    form.setFont(WindowsFont("MS Sans Serif", 11));
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, ToQColor(clBtnFace));
    form.setPalette(palette);
}

} // namespace mx
