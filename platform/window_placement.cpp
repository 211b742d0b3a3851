#include "platform/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <climits>

namespace mx {

namespace {

// Kept with the window: positions Qt does not know or a window system
// refused.
constexpr char kMinPosition[] = "mxMinPosition";
constexpr char kMaxPosition[] = "mxMaxPosition";
constexpr char kNormalPosition[] = "mxNormalPosition";
constexpr char kFormPosition[] = "mxFormPosition";

std::optional<bool>& positionsOverride() {
    static std::optional<bool> allowed;
    return allowed;
}

QPoint storedPoint(const QWidget* w, const char* name, QPoint def) {
    const QVariant v = w->property(name);
    return v.isValid() ? v.toPoint() : def;
}

// All screens' available areas together.
QRect desktopRect() {
    QRect all;
    for (const QScreen* s : QGuiApplication::screens()) all |= s->availableGeometry();
    return all;
}

bool onSomeScreen(const QRect& r) {
    for (const QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().intersects(r)) return true;
    return false;
}

// A rectangle the window can really take: not larger than the desktop and
// not lost beside every screen.
QRect usableRect(QRect r) {
    const QRect desk = desktopRect();
    if (desk.isEmpty()) return r;
    r.setSize(r.size().boundedTo(desk.size()));
    if (!onSomeScreen(r)) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        const QRect avail = primary ? primary->availableGeometry() : desk;
        r.moveTopLeft(avail.topLeft());
    }
    return r;
}

} // namespace

bool WindowPositionsAllowed() {
    if (positionsOverride()) return *positionsOverride();
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void SetWindowPositionsAllowedForTests(std::optional<bool> allowed) { positionsOverride() = allowed; }

TWindowPlacement GetWindowPlacement(const QWidget* window) {
    TWindowPlacement wp;
    const Qt::WindowStates state = window->windowState();
    if (state & Qt::WindowMinimized) {
        wp.showCmd = SW_SHOWMINIMIZED;
        if (state & Qt::WindowMaximized) wp.flags |= WPF_RESTORETOMAXIMIZED;
    } else if (state & Qt::WindowMaximized) {
        wp.showCmd = SW_SHOWMAXIMIZED;
    }
    wp.minPosition = storedPoint(window, kMinPosition, wp.minPosition);
    wp.maxPosition = storedPoint(window, kMaxPosition, wp.maxPosition);

    QRect normal = window->normalGeometry();
    if (normal.isEmpty()) normal = window->geometry();
    if (!WindowPositionsAllowed()) normal.moveTopLeft(storedPoint(window, kNormalPosition, normal.topLeft()));
    wp.left = normal.left();
    wp.top = normal.top();
    wp.right = normal.left() + normal.width();
    wp.bottom = normal.top() + normal.height();
    return wp;
}

void SetWindowPlacement(QWidget* window, const TWindowPlacement& wp) {
    window->setProperty(kMinPosition, wp.minPosition);
    window->setProperty(kMaxPosition, wp.maxPosition);

    const qint64 width = qint64(wp.right) - wp.left;
    const qint64 height = qint64(wp.bottom) - wp.top;
    if (width > 0 && height > 0 && width <= INT_MAX && height <= INT_MAX) {
        const QRect wanted(wp.left, wp.top, int(width), int(height));
        // The normal rectangle is set while the window is in normal state,
        // so that Qt keeps it as the one to return to.
        const Qt::WindowStates state = window->windowState();
        const bool special = state & (Qt::WindowMaximized | Qt::WindowFullScreen);
        if (special) window->setWindowState(state & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        if (WindowPositionsAllowed()) {
            window->setGeometry(usableRect(wanted));
        } else {
            window->setProperty(kNormalPosition, wanted.topLeft());
            window->resize(usableRect(wanted).size());
        }
        if (special) window->setWindowState(state);
    }

    switch (wp.showCmd) {
    case SW_HIDE: break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: window->showMinimized(); break;
    case SW_SHOWMAXIMIZED: window->showMaximized(); break;
    default: window->showNormal(); break;
    }
}

bool IsSizeable(const QWidget* window) {
    if (window->windowFlags() & Qt::MSWindowsFixedSizeDialogHint) return false;
    return window->minimumSize() != window->maximumSize();
}

int ScreenPixelsPerInch() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? qRound(s->logicalDotsPerInchX()) : 96;
}

QSize ScreenSize() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->size() : QSize();
}

TPosition FormPosition(const QWidget* window) {
    const QVariant v = window->property(kFormPosition);
    return v.isValid() ? TPosition(v.toInt()) : TPosition::poDesigned;
}

void SetFormPosition(QWidget* window, TPosition position) { window->setProperty(kFormPosition, int(position)); }

void ApplyFormPosition(QWidget* window) {
    QRect area;
    switch (FormPosition(window)) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter:
        if (const QScreen* s = QGuiApplication::primaryScreen()) area = s->availableGeometry();
        break;
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter:
        if (const QWidget* owner = window->parentWidget())
            area = owner->window()->frameGeometry();
        else if (const QScreen* s = QGuiApplication::primaryScreen())
            area = s->availableGeometry();
        break;
    default: return;
    }
    if (area.isEmpty() || !WindowPositionsAllowed()) return;
    const QSize outer = window->frameGeometry().size().expandedTo(window->size());
    window->move(area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 2);
}

} // namespace mx
