#include "settings/form_storage.h"

#include "settings/property_text.h"

#include <QMetaProperty>
#include <QWidget>

namespace mx {

namespace {

struct Split {
    QString component;
    QString property;
};

// "component.property", both parts non-empty after trimming.
std::optional<Split> SplitEntry(const QString& text) {
    const int dot = text.indexOf(u'.');
    if (dot < 0) return std::nullopt;
    Split s{text.left(dot).trimmed(), text.mid(dot + 1).trimmed()};
    if (s.component.isEmpty() || s.property.isEmpty()) return std::nullopt;
    return s;
}

// An entry's property on its component and the key it is stored under;
// nothing when the entry names no property.
struct Stored {
    QMetaProperty property;
    QString key;
};
std::optional<Stored> StoredProperty(QObject* component, const QString& entry) {
    const std::optional<Split> s = SplitEntry(entry);
    if (!s || !component) return std::nullopt;
    const std::optional<QMetaProperty> p = FindProperty(component, s->property);
    if (!p) return std::nullopt;
    return Stored{*p, component->objectName() + u'_' + QString::fromLatin1(p->name())};
}

} // namespace

QStringList TFormStorage::StoredProps() const {
    QStringList list;
    for (const Entry& e : entries_) list << e.text;
    return list;
}

void TFormStorage::SetStoredProps(const QStringList& entries) {
    entries_.clear();
    for (const QString& text : entries) entries_.push_back({text, nullptr});
    if (loaded_) Resolve();
}

void TFormStorage::Loaded() {
    loaded_ = true;
    Resolve();
    TFormPlacement::Loaded();
}

void TFormStorage::Resolve() {
    std::vector<Entry> kept;
    for (Entry& e : entries_) {
        const std::optional<Split> s = SplitEntry(e.text);
        QObject* c = s && Form() ? FindComponent(Form(), s->component) : nullptr;
        if (c) kept.push_back({e.text, c});
    }
    entries_ = std::move(kept);
}

// Entries follow their components' current names; those whose component
// is gone are dropped.
void TFormStorage::Refresh() {
    std::vector<Entry> kept;
    for (Entry& e : entries_) {
        const std::optional<Split> s = SplitEntry(e.text);
        if (e.component && s) kept.push_back({e.component->objectName() + u'.' + s->property, e.component});
    }
    entries_ = std::move(kept);
}

void TFormStorage::SaveProps() {
    Refresh();
    for (const Entry& e : entries_) {
        const std::optional<Stored> stored = StoredProperty(e.component, e.text);
        if (!stored) continue;
        const std::optional<QString> text = PropertyText(e.component, stored->property);
        if (!text) continue;
        const QString value = text->trimmed();
        if (value.isEmpty() && !KeepsEmptyText(stored->property)) continue;
        WriteString(stored->key, value);
    }
}

void TFormStorage::RestoreProps() {
    Refresh();
    // A setter may delete controls; work on a copy and check each one.
    const std::vector<Entry> entries = entries_;
    for (const Entry& e : entries) {
        try {
            const std::optional<Stored> stored = StoredProperty(e.component, e.text);
            if (!stored) continue;
            const std::optional<QString> current = PropertyText(e.component, stored->property);
            if (!current) continue;
            SetPropertyFromText(e.component, stored->property, ReadString(stored->key, *current).trimmed());
        } catch (...) {
            // The next property is restored all the same.
        }
    }
}

} // namespace mx
