#include "settings/form_placement.h"

#include "platform/application.h"
#include "platform/loading.h"
#include "platform/profile_file.h"
#include "platform/window_placement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <climits>

namespace mx {

namespace {

QString ResolutionSuffix() {
    const QSize s = ScreenSize();
    return QStringLiteral("(%1x%2)").arg(s.width()).arg(s.height());
}

QString FourNumbers(int a, int b, int c, int d) { return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d); }

// Words are runs of characters other than "," and blank; a missing or
// malformed word gives its default.
int WordAt(const QStringList& words, int index, int def) {
    if (index >= words.size()) return def;
    return ParseProfileInt(words[index]).value_or(def);
}

QStringList WordsOf(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[, ]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

QString ClassName(const QObject* o) {
    const QString name = QString::fromLatin1(o->metaObject()->className());
    return name.mid(name.lastIndexOf(u':') + 1);
}

// The window is not yet on the screen while its Show event is delivered.
bool OnScreen(const QWidget* form) {
    return form->isVisible() && form->windowHandle() && form->windowHandle()->isVisible();
}

} // namespace

TFormPlacement::TFormPlacement(QWidget* form) : QObject(form), form_(form) {}

TFormPlacement::~TFormPlacement() {
    if (form_) form_->removeEventFilter(this);
}

QWidget* TFormPlacement::Form() const { return form_; }

void TFormPlacement::Loaded() {
    if (form_) form_->installEventFilter(this);
}

QString TFormPlacement::IniFileNameInUse() const {
    if (!IniFileName.isEmpty()) return IniFileName;
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".INI");
}

QString TFormPlacement::IniSectionInUse() const {
    if (!IniSection.isEmpty()) return IniSection;
    if (!form_) return QString();
    if (form_->isWindow()) return ClassName(form_);
    return ClassName(form_->window()) + u'.' + form_->objectName();
}

QString TFormPlacement::ReadString(const QString& key, const QString& def) const {
    if (ini_) return ini_->ReadString(IniSectionInUse(), key, def);
    return TIniFile(IniFileNameInUse()).ReadString(IniSectionInUse(), key, def);
}

int TFormPlacement::ReadInteger(const QString& key, int def) const {
    return ParseProfileInt(ReadString(key, QString())).value_or(def);
}

void TFormPlacement::WriteString(const QString& key, const QString& value) {
    const bool quoted = !value.isEmpty() && ((value.front() == u'"' && value.back() == u'"') ||
                                             (value.front() == u'\'' && value.back() == u'\''));
    const QString text = quoted ? u'"' + value + u'"' : value;
    if (ini_)
        ini_->WriteString(IniSectionInUse(), key, text);
    else
        TIniFile(IniFileNameInUse()).WriteString(IniSectionInUse(), key, text);
}

void TFormPlacement::WriteInteger(const QString& key, int value) { WriteString(key, QString::number(value)); }

bool TFormPlacement::IsMainForm() const {
    QWidget* main = Application()->MainForm;
    return main == nullptr || main == form_;
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_) return false;
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        if (Active) Application()->Guard([this] { Restore(); });
    } else if (event->type() == QEvent::Close) {
        // The window decides first; this event is then consumed here.
        static_cast<QObject*>(form_.data())->event(event);
        if (event->isAccepted() && Active && form_ && form_->testAttribute(Qt::WA_WState_Created))
            Application()->Guard([this] { Save(); });
        return true;
    }
    return false;
}

void TFormPlacement::WindowDestroying() {
    if (!Active || saved_) return;
    destroying_ = true;
    Application()->Guard([this] { Save(); });
    destroying_ = false;
}

void TFormPlacement::Save() {
    if (!form_ || (!restored_ && Active)) return;
    // One profile object for the whole save: the file is replaced once,
    // with all values or none.
    TIniFile ini(IniFileNameInUse());
    ini.BeginUpdate();
    ini_ = &ini;
    const auto release = qScopeGuard([this] { ini_ = nullptr; });
    WriteInteger(QStringLiteral("FormVersion"), Version);
    if (Options & (fpState | fpPosition)) SavePlacement();
    if (Options & fpActiveControl) {
        if (const QWidget* focus = form_->focusWidget(); focus && focus != form_)
            WriteString(QStringLiteral("ActiveControl"), focus->objectName());
    }
    SaveProps();
    ini.UpdateFile();
    if (OnSavePlacement) OnSavePlacement();
    saved_ = true;
}

void TFormPlacement::SavePlacement() {
    const TWindowPlacement wp = GetWindowPlacement(form_);
    const QString r = ResolutionSuffix();
    const QString minMax = FourNumbers(wp.minPosition.x(), wp.minPosition.y(), wp.maxPosition.x(), wp.maxPosition.y());
    const QString normal = FourNumbers(wp.left, wp.top, wp.right, wp.bottom);
    WriteInteger(QStringLiteral("Flags"), wp.flags);
    WriteInteger(QStringLiteral("ShowCmd"), wp.showCmd);
    WriteInteger(QStringLiteral("PixelsPerInch"), ScreenPixelsPerInch());
    WriteString(QStringLiteral("MinMaxPos") + r, minMax);
    WriteString(QStringLiteral("MinMaxPos"), minMax);
    WriteString(QStringLiteral("NormPos") + r, normal);
    WriteString(QStringLiteral("NormPos"), normal);
    WriteString(QStringLiteral("Visible"), destroying_ ? QStringLiteral("1") : QStringLiteral("0"));
}

void TFormPlacement::Restore() {
    if (!form_) return;
    saved_ = false;
    TIniFile ini(IniFileNameInUse());
    ini.BeginUpdate(); // read the file once
    ini_ = &ini;
    const auto release = qScopeGuard([this] { ini_ = nullptr; });
    if (ReadInteger(QStringLiteral("FormVersion"), 0) >= Version) {
        if (Options & (fpState | fpPosition)) RestorePlacement();
        restored_ = true;
        try {
            RestoreProps();
        } catch (...) {
            // A property that cannot be restored keeps its design value.
        }
        if (OnRestorePlacement) OnRestorePlacement();
        if (Options & fpActiveControl) {
            const QString name = ReadString(QStringLiteral("ActiveControl"), QString());
            QWidget* w = name.isEmpty() ? nullptr : form_->findChild<QWidget*>(name);
            if (w && w->focusPolicy() != Qt::NoFocus && w->isEnabled()) w->setFocus();
        }
    }
    restored_ = true;
    UpdatePlacement();
}

void TFormPlacement::UpdatePlacement() {
    QWidget* form = form_;
    if (!form->testAttribute(Qt::WA_WState_Created) || IsLoading()) return;
    TWindowPlacement wp = GetWindowPlacement(form);
    if (!OnScreen(form)) wp.showCmd = SW_HIDE;
    wp.maxPosition = -FrameMetrics(form);
    SetWindowPlacement(form, wp);
}

void TFormPlacement::RestorePlacement() {
    QWidget* form = form_;
    TWindowPlacement wp = GetWindowPlacement(form);
    if (!OnScreen(form)) wp.showCmd = SW_HIDE;

    if (Options & fpPosition) {
        const QString r = ResolutionSuffix();
        wp.flags = ReadInteger(QStringLiteral("Flags"), wp.flags);
        bool found = false;
        auto readPair = [&](const QString& key) {
            QString text = ReadString(key + r, QString());
            if (text.isEmpty()) text = ReadString(key, QString());
            found = found || !text.isEmpty();
            return text;
        };
        if (const QString text = readPair(QStringLiteral("MinMaxPos")); !text.isEmpty()) {
            const QStringList w = WordsOf(text);
            wp.minPosition = QPoint(WordAt(w, 0, 0), WordAt(w, 1, 0));
            wp.maxPosition = QPoint(WordAt(w, 2, 0), WordAt(w, 3, 0));
        }
        if (const QString text = readPair(QStringLiteral("NormPos")); !text.isEmpty()) {
            const QRect g = form->geometry();
            const QStringList w = WordsOf(text);
            wp.left = WordAt(w, 0, g.left());
            wp.top = WordAt(w, 1, g.top());
            wp.right = WordAt(w, 2, g.left() + g.width());
            wp.bottom = WordAt(w, 3, g.top() + g.height());
        }
        const int ppi = ScreenPixelsPerInch();
        if (found && ReadInteger(QStringLiteral("PixelsPerInch"), ppi) == ppi) {
            if (!IsSizeable(form)) {
                wp.right = int(std::min<qint64>(qint64(wp.left) + form->width(), INT_MAX));
                wp.bottom = int(std::min<qint64>(qint64(wp.top) + form->height(), INT_MAX));
            }
            // A rectangle without height is no placement either.
            if (wp.left < wp.right && wp.top < wp.bottom) {
                const TPosition pos = FormPosition(form);
                if (pos == TPosition::poScreenCenter || pos == TPosition::poDesktopCenter ||
                    pos == TPosition::poMainFormCenter)
                    SetFormPosition(form, TPosition::poDesigned);
                SetWindowPlacement(form, wp);
            }
        }
    }

    if (Options & fpState) {
        const TPosition pos = FormPosition(form);
        bool maximized = IsMainForm() && (pos == TPosition::poDefault || pos == TPosition::poDefaultPosOnly);
        bool minimized = false;
        switch (ReadInteger(QStringLiteral("ShowCmd"), 0)) {
        case SW_SHOWNORMAL:
        case SW_SHOW:
        case SW_RESTORE: maximized = false; break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE: minimized = true; break;
        case SW_SHOWMAXIMIZED: maximized = true; break;
        default: break;
        }
        Qt::WindowStates base = form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
        if (minimized && IsMainForm()) {
            // The whole program starts minimised once it is up, and comes
            // back maximised if it was so before.
            if (wp.flags & WPF_RESTORETOMAXIMIZED) base |= Qt::WindowMaximized;
            form->setWindowState(base);
            QMetaObject::invokeMethod(form, &QWidget::showMinimized, Qt::QueuedConnection);
            return;
        }
        form->setWindowState(base | (minimized   ? Qt::WindowMinimized
                                     : maximized ? Qt::WindowMaximized
                                                 : Qt::WindowNoState));
    }
    form->update();
}

} // namespace mx
