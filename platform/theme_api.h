#pragma once
// Program-wide access to the theme library: a reference-counted, locked
// loader of a few entry points. On Linux the "library" is built in and
// draws with the application's active QStyle; visual styles can be switched
// off while the program runs, and then themed drawing is no longer used.
class QPainter;
class QString;
class QWidget;

namespace mx {

struct TRect;
struct TThemeData;
using HTHEME = TThemeData*;

// Part and states of the push-button class.
enum : int { BP_PUSHBUTTON = 1 };
enum : int { PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5 };

// The entry points the buttons use; all empty while the library is not loaded.
struct TThemeEntryPoints {
    HTHEME (*OpenThemeData)(QWidget* window, const QString& classList) = nullptr;
    int (*CloseThemeData)(HTHEME theme) = nullptr;
    int (*DrawThemeBackground)(HTHEME theme, QPainter& dc, int part, int state, const TRect& rect) = nullptr;
    bool (*IsAppThemed)() = nullptr;
    bool (*IsThemeActive)() = nullptr;
};

// Adds a user; loads the library on first use. Returns whether it is loaded.
bool AcquireThemeApi();
// Removes a user; the last one unloads the library.
void ReleaseThemeApi();
// Loaded, both queries resolved, and the application and the theme active.
bool ThemedDrawingActive();
const TThemeEntryPoints& ThemeApi();
int ThemeApiUsers();

// The run-time switch of the platform's visual styles.
void SetVisualStylesEnabled(bool enabled);
bool VisualStylesEnabled();

} // namespace mx
