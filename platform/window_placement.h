#pragma once
// Window placement over a top-level QWidget: the normal (restored)
// rectangle, the minimised and maximised positions and the show state, in
// the form of the Windows placement calls.
//
// The normal rectangle is the client rectangle in screen pixels (right and
// bottom exclusive), so that a placement read and written back gives the
// same window whatever frame the window manager draws. Qt has no minimised
// or maximised position; the ones last set are kept with the window and
// read back unchanged.
//
// Where the window system refuses positions (Wayland), setting a placement
// applies size and state and skips the move; reading it gives back the
// position last set, so a stored position survives a run there.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QWidget;

namespace mx {

enum : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOWMAXIMIZED = 3,
    SW_SHOWNOACTIVATE = 4,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_SHOWMINNOACTIVE = 7,
    SW_SHOWNA = 8,
    SW_RESTORE = 9,
};
enum : int { WPF_SETMINPOSITION = 1, WPF_RESTORETOMAXIMIZED = 2 };

struct TWindowPlacement {
    int flags = 0;
    int showCmd = SW_SHOWNORMAL;
    QPoint minPosition{-1, -1};
    QPoint maxPosition{-1, -1};
    int left = 0, top = 0, right = 0, bottom = 0; // normal rectangle
};

TWindowPlacement GetWindowPlacement(const QWidget* window);

// showCmd SW_HIDE changes neither visibility nor state; the others apply
// their state and show the window. A rectangle without area is not applied.
// A rectangle larger than all screens together is cut to their size, and
// the window is kept where its whole title bar lies on a screen (the one
// it overlaps most, else the primary one), so it can always be moved.
void SetWindowPlacement(QWidget* window, const TWindowPlacement& wp);

// False where the window system does not let programs place windows.
bool WindowPositionsAllowed();
// Tests: pretend a window system that does (true) or does not (false)
// allow positions; nothing returns to asking the platform.
void SetWindowPositionsAllowedForTests(std::optional<bool> allowed);

// Whether the user can change the window's size with its borders.
bool IsSizeable(const QWidget* window);

// The classic frame metrics of the window's border style at 96 dpi:
// sizeable (SM_CXFRAME, SM_CYFRAME) 4, a fixed dialog border 3, none 0.
QPoint FrameMetrics(const QWidget* window);

// The primary screen's logical pixels per inch (rounded) and size.
int ScreenPixelsPerInch();
QSize ScreenSize();

// How a form is positioned when it is shown (the form's Position).
enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};
TPosition FormPosition(const QWidget* window);
void SetFormPosition(QWidget* window, TPosition position);
// Puts the window where its Position says: centred for the centring
// values, left alone for the others. A form calls it when it is shown,
// after the settings store has had its say.
void ApplyFormPosition(QWidget* window);

} // namespace mx
