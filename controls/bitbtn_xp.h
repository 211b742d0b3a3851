#pragma once
// A push button that draws itself completely: a themed or classic face,
// then a glyph beside its caption. Predefined kinds make it a standard
// dialog button in one step.
#include "controls/button_glyph.h"

#include <QImage>
#include <QPointer>
#include <QPushButton>

namespace mx {

class TCanvas;
struct TThemeData;

// Owner-draw item state bits.
enum : unsigned { ODS_SELECTED = 0x1, ODS_DISABLED = 0x4, ODS_FOCUS = 0x10 };

class TBitBtnXP : public QPushButton {
    Q_OBJECT
public:
    enum TBitBtnXPKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
    Q_ENUM(TBitBtnXPKind)
    enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
    Q_ENUM(TButtonStyle)
    enum TLayout { blGlyphLeft = mx::blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    Q_ENUM(TLayout)

    Q_PROPERTY(TBitBtnXPKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(TLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(QImage Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(QString GlyphResource READ GlyphResource WRITE SetGlyphResource)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(TButtonStyle Style READ Style WRITE SetStyle)

    explicit TBitBtnXP(QWidget* parent = nullptr);
    ~TBitBtnXP() override;

    // Reading turns a predefined kind into bkCustom once a role, the modal
    // result or the glyph no longer matches it.
    TBitBtnXPKind Kind() const;
    void SetKind(TBitBtnXPKind kind);
    TLayout Layout() const { return layout_; }
    void SetLayout(TLayout layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int n);
    const QImage& Glyph() const { return glyph_.Glyph(); }
    void SetGlyph(const QImage& strip);
    QString GlyphResource() const { return glyphResource_; }
    void SetGlyphResource(const QString& path);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle style);

    bool ActiveLook() const { return active_; }
    TButtonGlyph& GlyphObject() { return glyph_; }
    TThemeData* ThemeHandle() const { return theme_; }

    // Draws the whole button for the given ODS_ state bits.
    void PaintButton(TCanvas& canvas, unsigned itemState);
    // The click by kind: closes the window, shows help, or sets the
    // window's modal result and raises OnClick.
    void Click();

    // The program-wide glyph of a kind, loaded on first use.
    static const QImage& KindGlyph(TBitBtnXPKind kind);

signals:
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetActive(bool active);
    void FocusMoved(QWidget* now);
    void WatchWindow();

    TButtonGlyph glyph_;
    TThemeData* theme_ = nullptr;
    TButtonStyle style_ = bsAutoDetect;
    mutable TBitBtnXPKind kind_ = bkCustom;
    TLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    int margin_ = -1;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
    bool active_ = false;
    bool glyphModified_ = false;
    QString glyphResource_;
    QPointer<QWidget> watchedWindow_;
};

} // namespace mx
