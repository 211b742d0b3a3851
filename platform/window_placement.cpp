#include "platform/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <climits>

namespace mx {

namespace {

// Kept with the window: positions Qt does not know or a window system
// refused.
constexpr char kMinPosition[] = "mxMinPosition";
constexpr char kMaxPosition[] = "mxMaxPosition";
constexpr char kNormalPosition[] = "mxNormalPosition";
constexpr char kFormPosition[] = "mxFormPosition";

std::optional<bool>& PositionsOverride() {
    static std::optional<bool> allowed;
    return allowed;
}

QPoint StoredPoint(const QWidget* w, const char* name, QPoint def) {
    const QVariant v = w->property(name);
    return v.isValid() ? v.toPoint() : def;
}

// All screens' available areas together.
QRect DesktopRect() {
    QRect all;
    for (const QScreen* s : QGuiApplication::screens()) all |= s->availableGeometry();
    return all;
}

// The screen a client rectangle overlaps most; the primary one when none.
const QScreen* ScreenFor(const QRect& r) {
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect common = s->availableGeometry() & r;
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = s;
            bestArea = area;
        }
    }
    return best;
}

// The frame around the client area: as the window system drew it, or
// before the first showing the style's title bar and the classic border.
QMargins FrameOf(const QWidget* window) {
    const QRect frame = window->frameGeometry(), client = window->geometry();
    QMargins m(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
               frame.bottom() - client.bottom());
    if (m.top() <= 0) {
        const QPoint border = FrameMetrics(window);
        m = QMargins(border.x(), window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + border.y(), border.x(),
                     border.y());
    }
    return m;
}

// A rectangle the window can really take: its whole title bar on a screen,
// so not wider than that screen.
QRect UsableRect(const QWidget* window, QRect r) {
    const QRect desk = DesktopRect();
    if (desk.isEmpty()) return r;
    r.setSize(r.size().boundedTo(desk.size()));
    const QScreen* screen = ScreenFor(r);
    if (!screen) return r;
    const QMargins frame = FrameOf(window);
    const QRect avail = screen->availableGeometry().marginsRemoved(frame);
    r.setSize(r.size().boundedTo(avail.size()));
    // The title bar runs along the client's top across the frame's width.
    const int left = std::clamp(r.left(), avail.left(), std::max(avail.left(), avail.right() + 1 - r.width()));
    const int top = std::clamp(r.top(), avail.top(), std::max(avail.top(), avail.bottom()));
    r.moveTo(left, top);
    return r;
}

} // namespace

bool WindowPositionsAllowed() {
    if (PositionsOverride()) return *PositionsOverride();
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void SetWindowPositionsAllowedForTests(std::optional<bool> allowed) { PositionsOverride() = allowed; }

TWindowPlacement GetWindowPlacement(const QWidget* window) {
    TWindowPlacement wp;
    const Qt::WindowStates state = window->windowState();
    if (state & Qt::WindowMinimized) {
        wp.showCmd = SW_SHOWMINIMIZED;
        if (state & Qt::WindowMaximized) wp.flags |= WPF_RESTORETOMAXIMIZED;
    } else if (state & Qt::WindowMaximized) {
        wp.showCmd = SW_SHOWMAXIMIZED;
    }
    wp.minPosition = StoredPoint(window, kMinPosition, wp.minPosition);
    wp.maxPosition = StoredPoint(window, kMaxPosition, wp.maxPosition);

    QRect normal = window->normalGeometry();
    if (normal.isEmpty()) normal = window->geometry();
    if (!WindowPositionsAllowed()) normal.moveTopLeft(StoredPoint(window, kNormalPosition, normal.topLeft()));
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
            window->setGeometry(UsableRect(window, wanted));
        } else {
            window->setProperty(kNormalPosition, wanted.topLeft());
            window->resize(UsableRect(window, wanted).size());
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

QPoint FrameMetrics(const QWidget* window) {
    const Qt::WindowFlags flags = window->windowFlags();
    if (flags & Qt::FramelessWindowHint) return {0, 0};
    if (!IsSizeable(window)) return {3, 3};
    return {4, 4};
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
