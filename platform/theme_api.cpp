#include "platform/theme_api.h"

#include "platform/canvas.h"

#include <QApplication>
#include <QPainter>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>
#include <atomic>
#include <mutex>

namespace mx {

struct TThemeData {
    QString classList;
};

namespace {

std::atomic<bool> visualStyles{true};

// The built-in library.
HTHEME QtOpenThemeData(QWidget*, const QString& classList) { return new TThemeData{classList}; }

int QtCloseThemeData(HTHEME theme) {
    delete theme;
    return 0;
}

constexpr int S_OK = 0;
constexpr int E_HANDLE = 6;

int QtDrawThemeBackground(HTHEME theme, QPainter& dc, int part, int state, const TRect& rect) {
    if (!theme || part != BP_PUSHBUTTON) return E_HANDLE;
    QStyleOptionButton option;
    option.rect = rect.ToQRect();
    option.palette = QApplication::palette();
    option.state = QStyle::State_Enabled | QStyle::State_Raised;
    switch (state) {
    case PBS_PRESSED: option.state = QStyle::State_Enabled | QStyle::State_Sunken; break;
    case PBS_DISABLED:
        option.state = QStyle::State_Raised;
        option.palette.setCurrentColorGroup(QPalette::Disabled);
        break;
    case PBS_HOT: option.state |= QStyle::State_MouseOver; break;
    case PBS_DEFAULTED: option.features |= QStyleOptionButton::DefaultButton; break;
    default: break;
    }
    QApplication::style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &dc, nullptr);
    return S_OK;
}

bool QtIsAppThemed() { return visualStyles; }
bool QtIsThemeActive() { return visualStyles; }

struct TThemeAccess {
    std::mutex lock;
    int users = 0;
    bool loaded = false;
    TThemeEntryPoints entries;

    // Called with the lock held.
    void releaseOne() {
        if (users > 0) --users;
        if (users == 0 && loaded) {
            entries = {};
            loaded = false;
        }
    }

    // Program end: every user still counted is released.
    ~TThemeAccess() {
        std::lock_guard guard(lock);
        while (users > 0) releaseOne();
    }
};

TThemeAccess& Access() {
    static TThemeAccess instance;
    return instance;
}

} // namespace

bool AcquireThemeApi() {
    TThemeAccess& a = Access();
    std::lock_guard guard(a.lock);
    ++a.users;
    if (!a.loaded) {
        a.entries = {QtOpenThemeData, QtCloseThemeData, QtDrawThemeBackground, QtIsAppThemed, QtIsThemeActive};
        a.loaded = true;
    }
    return a.loaded;
}

void ReleaseThemeApi() {
    TThemeAccess& a = Access();
    std::lock_guard guard(a.lock);
    a.releaseOne();
}

bool ThemedDrawingActive() {
    TThemeAccess& a = Access();
    TThemeEntryPoints entries;
    {
        std::lock_guard guard(a.lock);
        if (!a.loaded) return false;
        entries = a.entries;
    }
    return entries.IsAppThemed && entries.IsThemeActive && entries.IsAppThemed() && entries.IsThemeActive();
}

const TThemeEntryPoints& ThemeApi() { return Access().entries; }

int ThemeApiUsers() {
    TThemeAccess& a = Access();
    std::lock_guard guard(a.lock);
    return a.users;
}

void SetVisualStylesEnabled(bool enabled) { visualStyles = enabled; }
bool VisualStylesEnabled() { return visualStyles; }

} // namespace mx
