#include "controls/color_combo_box.h"

#include "platform/application.h"
#include "platform/canvas.h"

#include <QAbstractItemView>
#include <QListView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <optional>

namespace mx {

namespace {

struct Entry {
    TColor color;
    const char* german;
    const char* english;
    const char* french;
};

// The custom entry's colour is the control's value; its 0 here is unused.
constexpr Entry kEntries[TTavelColorComboBox::EntryCount] = {
    {clBlack, "Schwarz", "Black", "Noir"},
    {clMaroon, "Dunkelrot", "Maroon", "Rouge foncé"},
    {clGreen, "Grün", "Green", "Vert"},
    {clOlive, "Oliv", "Olive", "Marron clair"},
    {clNavy, "Dunkelblau", "Navy", "Bleu foncé"},
    {clPurple, "Purpur", "Purple", "Violet"},
    {clTeal, "Grünblau", "Teal", "Bleu-vert"},
    {clGray, "Grau", "Gray", "Gris"},
    {clSilver, "Silber", "Silver", "Argenté"},
    {clRed, "Rot", "Red", "Rouge"},
    {clLime, "Hellgrün", "Lime", "Vert"},
    {clYellow, "Gelb", "Yellow", "Jaune"},
    {clBlue, "Blau", "Blue", "Bleu"},
    {clFuchsia, "Rosa", "Fuchsia", "Fuchsia"},
    {clAqua, "Hellblau", "Aqua", "Vert d'eau"},
    {clWhite, "Weiß", "White", "Blanc"},
    {0, "Mehr...", "More...", "Autres...."},
};

// The text property is a short string in the original form layout.
constexpr int kMaxTextLength = 255;

// Hexadecimal digits only; no digits at all read as 0.
std::optional<TColor> ParseHex(const QString& digits) {
    std::uint32_t value = 0;
    for (const QChar ch : digits) {
        const char16_t c = ch.unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<TColor>(value);
}

QString AsciiUpper(QString s) {
    for (QChar& ch : s)
        if (ch >= u'a' && ch <= u'z') ch = QChar(ch.unicode() - (u'a' - u'A'));
    return s;
}

QString LimitedText(const QString& text) {
    if (text.size() <= kMaxTextLength) return text;
    QString cut = text.left(kMaxTextLength);
    if (cut.back().isHighSurrogate()) cut.chop(1);
    return cut;
}

class EntryDelegate : public QStyledItemDelegate {
public:
    explicit EntryDelegate(TTavelColorComboBox* combo) : QStyledItemDelegate(combo), combo_(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        {
            TCanvas canvas(painter);
            canvas.Font = combo_->font();
            const TRect r = TRect::FromQRect(option.rect);
            combo_->DrawEntry(canvas, index.row(), r, option.state & QStyle::State_Selected);
            if (option.state & QStyle::State_HasFocus) canvas.DrawFocusRect(r);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
        const int textWidth = combo_->fontMetrics().horizontalAdvance(combo_->EntryName(index.row()));
        return {30 + textWidth + 4, TTavelColorComboBox::EntryHeight};
    }

private:
    TTavelColorComboBox* combo_;
};

} // namespace

QString ColorToHTML(TColor color) {
    const auto rgb = static_cast<std::uint32_t>(IsSysColor(color) ? ColorToRGB(color) : color);
    return QStringLiteral("#%1%2%3")
        .arg(rgb & 0xFF, 2, 16, QChar('0'))
        .arg((rgb >> 8) & 0xFF, 2, 16, QChar('0'))
        .arg((rgb >> 16) & 0xFF, 2, 16, QChar('0'))
        .toUpper();
}

TTavelColorComboBox::TTavelColorComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setItemDelegate(new EntryDelegate(this));
    setMaxVisibleItems(8);
    // Styles that open the list as a menu would show all 17 entries at once.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    if (auto* list = qobject_cast<QListView*>(view())) list->setUniformItemSizes(true);
    // Eight of the seventeen entries show at a time: the scroll bar says
    // that more follow.
    view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int i = 0; i < EntryCount; ++i) addItem(EntryName(i));
    setCurrentIndex(0);
    resize(120, 22);
    connect(this, &QComboBox::activated, this, &TTavelColorComboBox::UserChoice);
}

TTavelColorComboBox::~TTavelColorComboBox() = default;

TColor TTavelColorComboBox::EntryColor(int index) {
    return index >= 0 && index < CustomEntry ? kEntries[index].color : clBlack;
}

QString TTavelColorComboBox::EntryName(int index) const {
    if (index < 0 || index >= EntryCount) return {};
    const Entry& e = kEntries[index];
    switch (language_) {
    case lgFrensh: return QString::fromUtf8(e.french);
    case lgDeutsch: return QString::fromUtf8(e.german);
    default: return QString::fromUtf8(e.english);
    }
}

void TTavelColorComboBox::RefreshNames() {
    for (int i = 0; i < EntryCount; ++i) setItemText(i, EntryName(i));
}

void TTavelColorComboBox::setLanguage(TCLanguage language) {
    language_ = language;
    RefreshNames();
    update();
}

void TTavelColorComboBox::setColorValue(TColor value) {
    int entry = CustomEntry;
    for (int i = 0; i < CustomEntry; ++i)
        if (kEntries[i].color == value) {
            entry = i;
            break;
        }
    setCurrentIndex(entry);
    colorValue_ = value;
    // For anything but plain RGB the text parses back to a different value,
    // which is written once more: the control keeps only plain RGB.
    setHTMLcolor(ColorToHTML(value));
    update();
}

void TTavelColorComboBox::setHTMLcolor(const QString& text) {
    QString s = AsciiUpper(LimitedText(text));
    if (s.isEmpty()) s = QStringLiteral("#000000");
    // #RRGGBB becomes BBGGRR; the first character is skipped whatever it is.
    const auto value = ParseHex(s.mid(5, 2) + s.mid(3, 2) + s.mid(1, 2));
    if (!value) return;
    if (*value != colorValue_) setColorValue(*value);
    html_ = s;
}

void TTavelColorComboBox::UserChoice(int index) {
    Application()->Guard([this, index] {
        if (OnClick) OnClick(this);
        if (index == CustomEntry) {
            if (const auto chosen = Application()->ChooseColor(colorValue_)) setColorValue(*chosen);
        } else if (index >= 0) {
            setColorValue(EntryColor(index));
        }
        if (OnChange) OnChange(this);
    });
}

void TTavelColorComboBox::DrawEntry(TCanvas& canvas, int index, const TRect& r, bool selected) const {
    const TColor brush = selected ? clHighlight : FromQColor(palette().color(QPalette::Base));
    canvas.FontColor = selected ? clHighlightText : FromQColor(palette().color(QPalette::Text));
    canvas.SetBrushStyle(bsSolid);
    canvas.SetBrushColor(brush);
    canvas.FillRect(r);

    const TRect swatch{r.Left + 4, r.Top + 1, 24, r.Bottom - 1};
    canvas.SetBrushColor(index == CustomEntry ? colorValue_ : EntryColor(index));
    canvas.FillRect(swatch);
    canvas.Pen = TPen{clBlack, 1, psSolid};
    canvas.Rectangle(swatch);

    TRect text{r.Left + 30, r.Top, r.Right, r.Bottom};
    canvas.SetBrushColor(brush);
    canvas.DrawText(EntryName(index), text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

QSize TTavelColorComboBox::sizeHint() const { return {120, 22}; }

QSize TTavelColorComboBox::minimumSizeHint() const { return sizeHint(); }

void TTavelColorComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) return;

    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    TCanvas canvas(&painter);
    canvas.Font = font();
    const TRect r = TRect::FromQRect(field);
    const bool focused = hasFocus();
    DrawEntry(canvas, currentIndex(), r, focused);
    if (focused) canvas.DrawFocusRect(r);
}

} // namespace mx
