#pragma once
// The classic Windows font faces, mapped onto installed ones.
#include <QFont>

class QString;
class QWidget;

namespace mx {

// Maps "MS Sans Serif", "Arial", "Arial Narrow", "MS Serif" and
// "Arial Black" onto Liberation and DejaVu faces.
void InstallFontSubstitutes();
// A face at a character height in pixels.
QFont WindowsFont(const QString& family, int pixels, QFont::Weight weight = QFont::Normal);
// The look of the program's windows: "MS Sans Serif" at 11 pixels on the
// button face, inherited by every control that sets none of its own.
void UseClassicFormLook(QWidget& form);

} // namespace mx
