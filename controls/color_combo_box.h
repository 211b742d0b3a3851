#pragma once
// A drop-down list of sixteen fixed colours and one custom entry that opens
// the colour chooser. Every entry is drawn by the control: a swatch with a
// black outline, then the colour's name in the chosen language.
#include "platform/colors.h"

#include <QComboBox>
#include <QString>
#include <functional>

namespace mx {

class TCanvas;
struct TRect;

enum TCLanguage : unsigned char { lgEnglish = 0, lgDeutsch = 1, lgFrensh = 2 };

// The colour as #RRGGBB. System colours give their current RGB value; the
// top byte of any other value is not part of the colour and is ignored.
QString ColorToHTML(TColor color);

class TTavelColorComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(mx::TCLanguage Language READ Language WRITE setLanguage)
    Q_PROPERTY(QString HTMLcolor READ HTMLcolor WRITE setHTMLcolor)
    Q_PROPERTY(int ColorValue READ ColorValue WRITE setColorValue)

public:
    static constexpr int EntryCount = 17;
    static constexpr int CustomEntry = 16;
    static constexpr int EntryHeight = 16;

    explicit TTavelColorComboBox(QWidget* parent = nullptr);
    ~TTavelColorComboBox() override;

    TCLanguage Language() const { return language_; }
    void setLanguage(TCLanguage language);
    QString HTMLcolor() const { return html_; }
    void setHTMLcolor(const QString& text);
    TColor ColorValue() const { return colorValue_; }
    void setColorValue(TColor value);

    // The fixed colour of entries 0 to 15.
    static TColor EntryColor(int index);
    // The entry's name in the control's language.
    QString EntryName(int index) const;

    // Draws one entry into r; selected entries use the highlight colours.
    void DrawEntry(TCanvas& canvas, int index, const TRect& r, bool selected) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Raised after every choice by the user, never for a value set by program.
    std::function<void(QObject*)> OnChange;
    // Raised before the choice is carried out.
    std::function<void(QObject*)> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UserChoice(int index);
    void RefreshNames();

    TCLanguage language_ = lgEnglish;
    TColor colorValue_ = clBlack;
    QString html_ = QStringLiteral("#000000");
};

} // namespace mx
