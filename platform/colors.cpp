#include "platform/colors.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace mx {

namespace {

QColor SystemColor(int index) {
    const QPalette pal = QApplication::palette();
    switch (index) {
    case COLOR_WINDOW: return pal.color(QPalette::Active, QPalette::Base);
    case COLOR_WINDOWFRAME: return Qt::black;
    case COLOR_WINDOWTEXT: return pal.color(QPalette::Active, QPalette::WindowText);
    case COLOR_APPWORKSPACE: return pal.color(QPalette::Active, QPalette::Dark);
    case COLOR_HIGHLIGHT: return pal.color(QPalette::Active, QPalette::Highlight);
    case COLOR_HIGHLIGHTTEXT: return pal.color(QPalette::Active, QPalette::HighlightedText);
    case COLOR_BTNFACE: return pal.color(QPalette::Active, QPalette::Button);
    case COLOR_BTNSHADOW: return pal.color(QPalette::Active, QPalette::Mid);
    case COLOR_GRAYTEXT: return pal.color(QPalette::Disabled, QPalette::WindowText);
    case COLOR_BTNTEXT: return pal.color(QPalette::Active, QPalette::ButtonText);
    case COLOR_BTNHIGHLIGHT: return pal.color(QPalette::Active, QPalette::Light);
    case COLOR_3DDKSHADOW: return pal.color(QPalette::Active, QPalette::Shadow);
    case COLOR_3DLIGHT: return pal.color(QPalette::Active, QPalette::Midlight);
    case COLOR_INFOTEXT: return pal.color(QPalette::Active, QPalette::ToolTipText);
    case COLOR_INFOBK: return pal.color(QPalette::Active, QPalette::ToolTipBase);
    case COLOR_SCROLLBAR: return pal.color(QPalette::Active, QPalette::Button);
    case COLOR_BACKGROUND: return pal.color(QPalette::Active, QPalette::Dark);
    case COLOR_ACTIVECAPTION: return pal.color(QPalette::Active, QPalette::Highlight);
    default: return pal.color(QPalette::Active, QPalette::Window);
    }
}

} // namespace

TColor ColorToRGB(TColor c) {
    if (IsSysColor(c)) return FromQColor(SystemColor(c & 0xFF));
    return c;
}

QColor ToQColor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

} // namespace mx
