#include "controls/bitbtn_xp.h"

#include "platform/application.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/loading.h"
#include "platform/theme_api.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <array>

namespace mx {

namespace {

constexpr int HELP_CONTEXT = 1;
constexpr int mrAll = 8;

struct TKindInfo {
    const char* caption;
    const char* resource;
    int modalResult;
};

// Indexed by kind; bkCustom has no entry of its own.
constexpr std::array<TKindInfo, 11> kinds{{
    {"", "", 0},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "OK"), "BBOKX", IDOK},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "Cancel"), "BBCANCELX", IDCANCEL},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "&Help"), "BBHELPX", 0},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "&Yes"), "BBYESX", IDYES},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "&No"), "BBNOX", IDNO},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "&Close"), "BBCLOSEX", 0},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "Abort"), "BBABORTX", IDABORT},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "&Retry"), "BBRETRYX", IDRETRY},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "&Ignore"), "BBIGNOREX", IDIGNORE},
    {QT_TRANSLATE_NOOP("TBitBtnXP", "&All"), "BBALLX", mrAll},
}};

bool KindIsDefault(TBitBtnXP::TBitBtnXPKind k) { return k == TBitBtnXP::bkOK || k == TBitBtnXP::bkYes; }
bool KindIsCancel(TBitBtnXP::TBitBtnXPKind k) { return k == TBitBtnXP::bkCancel || k == TBitBtnXP::bkNo; }

QImage LoadBitmap(const QString& path) {
    QImage image(path);
    if (image.isNull()) throw EInvalidGraphic(QStringLiteral("Ressource %1 nicht gefunden").arg(path));
    return image;
}

TRect Shrunk(const TRect& r, int by) { return {r.Left + by, r.Top + by, r.Right - by, r.Bottom - by}; }

} // namespace

TBitBtnXP::TBitBtnXP(QWidget* parent) : QPushButton(parent) {
    glyph_.OnChange = [this] { update(); };
    setAutoDefault(false);
    AcquireThemeApi();
    if (ThemedDrawingActive()) theme_ = ThemeApi().OpenThemeData(nullptr, QStringLiteral("BUTTON"));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusMoved(now); });
    // A failing handler is reported here: an exception must not unwind
    // through Qt's event delivery, which leaks and skips its cleanup.
    connect(this, &QAbstractButton::clicked, this, [this] { Application()->Guard([this] { Click(); }); });
}

TBitBtnXP::~TBitBtnXP() {
    // ~QWidget still reports the focus leaving, when this is no button any more.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    // Closed whenever the library can, so a style switch cannot leak it.
    if (theme_ && ThemeApi().CloseThemeData) ThemeApi().CloseThemeData(theme_);
}

const QImage& TBitBtnXP::KindGlyph(TBitBtnXPKind kind) {
    static std::array<QImage, 11> table;
    QImage& slot = table.at(kind);
    if (slot.isNull() && kind != bkCustom)
        slot = LoadBitmap(QStringLiteral(":/glyphs/%1.bmp").arg(QLatin1String(kinds[kind].resource)));
    return slot;
}

TBitBtnXP::TBitBtnXPKind TBitBtnXP::Kind() const {
    if (kind_ != bkCustom && (default_ != KindIsDefault(kind_) || cancel_ != KindIsCancel(kind_) ||
                              modalResult_ != kinds[kind_].modalResult || glyphModified_))
        kind_ = bkCustom;
    return kind_;
}

void TBitBtnXP::SetKind(TBitBtnXPKind kind) {
    if (kind == kind_) return;
    if (kind != bkCustom) {
        default_ = KindIsDefault(kind);
        cancel_ = KindIsCancel(kind);
        // A stored description may bring its own caption ahead of the kind.
        if (!(IsLoading() && !text().isEmpty())) setText(tr(kinds[kind].caption));
        modalResult_ = kinds[kind].modalResult;
        glyph_.SetGlyph(KindGlyph(kind));
        glyph_.SetNumGlyphs(2);
        glyphModified_ = false;
    }
    kind_ = kind;
    update();
}

void TBitBtnXP::SetLayout(TLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    update();
}

void TBitBtnXP::SetMargin(int margin) {
    if (margin == margin_ || margin < -1) return;
    margin_ = margin;
    update();
}

void TBitBtnXP::SetSpacing(int spacing) {
    if (spacing == spacing_) return;
    spacing_ = spacing;
    update();
}

void TBitBtnXP::SetNumGlyphs(int n) {
    if (n > 4) n = 4;
    if (n == glyph_.NumGlyphs()) return;
    glyph_.SetNumGlyphs(n);
    update();
}

void TBitBtnXP::SetGlyph(const QImage& strip) {
    glyph_.SetGlyph(strip);
    glyphModified_ = true;
    update();
}

void TBitBtnXP::SetGlyphResource(const QString& path) {
    glyphResource_ = path;
    SetGlyph(path.isEmpty() ? QImage() : LoadBitmap(path));
}

void TBitBtnXP::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    update();
}

void TBitBtnXP::SetCancel(bool value) { cancel_ = value; }

void TBitBtnXP::SetModalResult(int value) { modalResult_ = value; }

void TBitBtnXP::SetStyle(TButtonStyle style) {
    if (style == style_) return;
    style_ = style;
    update();
}

void TBitBtnXP::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    repaint();
}

void TBitBtnXP::FocusMoved(QWidget* now) {
    if (!now || now->window() != window()) return;
    if (qobject_cast<QPushButton*>(now))
        SetActive(now == this);
    else
        SetActive(default_);
}

void TBitBtnXP::WatchWindow() {
    QWidget* w = window();
    if (w == watchedWindow_ || w == this) return;
    if (watchedWindow_) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = w;
    w->installEventFilter(this);
}

// Enter clicks the active button and Escape a cancel button, once no
// control on the way from the focus to the window took the key.
bool TBitBtnXP::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == watchedWindow_ && isEnabled() && isVisible()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (plain && ((enter && active_) || (key->key() == Qt::Key_Escape && cancel_))) {
            click();
            return true;
        }
    }
    return QPushButton::eventFilter(watched, event);
}

void TBitBtnXP::Click() {
    const TBitBtnXPKind kind = Kind();
    if (kind == bkClose) {
        if (QWidget* form = window(); form && form != this) {
            form->close();
            return;
        }
    } else if (kind == bkHelp) {
        for (QWidget* w = this; w; w = w->parentWidget())
            if (const int context = w->property("HelpContext").toInt()) {
                Application()->HelpCommand(HELP_CONTEXT, context);
                return;
            }
    }
    if (auto* dialog = qobject_cast<QDialog*>(window()); dialog && modalResult_ != 0) dialog->done(modalResult_);
    emit OnClick();
}

void TBitBtnXP::showEvent(QShowEvent* event) {
    QPushButton::showEvent(event);
    WatchWindow();
    glyph_.BuildStateImage(isEnabled() ? bsUp : bsDisabled);
}

void TBitBtnXP::paintEvent(QPaintEvent*) {
    TCanvas canvas(this);
    unsigned state = 0;
    if (isDown()) state |= ODS_SELECTED;
    if (hasFocus()) state |= ODS_FOCUS;
    if (!isEnabled()) state |= ODS_DISABLED;
    PaintButton(canvas, state);
}

void TBitBtnXP::PaintButton(TCanvas& canvas, unsigned itemState) {
    const TRect client{0, 0, width(), height()};
    TRect r = client;
    const bool down = itemState & ODS_SELECTED;
    const bool focused = itemState & ODS_FOCUS;
    auto drawTheme = [&](int state) {
        if (!theme_) theme_ = ThemeApi().OpenThemeData(nullptr, QStringLiteral("BUTTON"));
        if (ThemeApi().DrawThemeBackground)
            ThemeApi().DrawThemeBackground(theme_, canvas.Painter(), BP_PUSHBUTTON, state, r);
    };

    if (ThemedDrawingActive()) {
        const QWidget* holder = parentWidget();
        const TColor background = holder ? FromQColor(holder->palette().color(holder->backgroundRole())) : clBtnFace;
        canvas.Pen = {background, 1, psSolid};
        canvas.SetBrushStyle(bsSolid);
        canvas.SetBrushColor(background);
        canvas.Rectangle(r);
    }
    const TButtonState content = !isEnabled() ? bsDisabled : down ? bsDown : bsUp;
    unsigned frameFlags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (down) frameFlags |= DFCS_PUSHED;
    if (itemState & ODS_DISABLED) frameFlags |= DFCS_INACTIVE;

    if ((active_ || focused) && !ThemedDrawingActive()) {
        canvas.Pen = {clWindowFrame, 1, psSolid};
        canvas.SetBrushStyle(bsClear);
        canvas.Rectangle(r);
        r = Shrunk(r, 1);
    }
    if (down) {
        if (ThemedDrawingActive()) {
            drawTheme(PBS_PRESSED);
        } else {
            canvas.Pen = {clBtnShadow, 1, psSolid};
            canvas.SetBrushStyle(bsSolid);
            canvas.SetBrushColor(clBtnFace);
            canvas.Rectangle(r);
        }
        r = Shrunk(r, 1);
    } else if (ThemedDrawingActive()) {
        drawTheme(content == bsDisabled ? PBS_DISABLED : (active_ || focused) ? PBS_NORMAL : 0);
    } else {
        canvas.DrawFrameControl(r, DFC_BUTTON, frameFlags);
    }
    if (active_) r = Shrunk(client, 1);

    canvas.Font = font();
    canvas.FontColor = clBtnText;
    if (down) r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    const unsigned biDi = layoutDirection() == Qt::RightToLeft ? DT_RIGHT | DT_RTLREADING : 0u;
    glyph_.PaintContent(canvas, r, text(), TButtonLayout(layout_), margin_, spacing_, content, biDi);

    if (active_ && focused) canvas.DrawFocusRect(Shrunk(client, 4));
}

} // namespace mx
