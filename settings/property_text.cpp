#include "settings/property_text.h"

#include "platform/profile_file.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QVariant>

namespace mx {

namespace {

enum class Kind { None, Integer, Unsigned, Boolean, Character, String, Enumeration };

Kind KindOf(const QMetaProperty& p) {
    if (p.isEnumType()) return p.isFlagType() ? Kind::None : Kind::Enumeration;
    switch (p.metaType().id()) {
    case QMetaType::Int: return Kind::Integer;
    case QMetaType::UInt: return Kind::Unsigned;
    case QMetaType::Bool: return Kind::Boolean;
    case QMetaType::QChar:
    case QMetaType::Char: return Kind::Character;
    case QMetaType::QString: return Kind::String;
    default: return Kind::None;
    }
}

} // namespace

QObject* FindComponent(const QObject* owner, const QString& name) {
    if (name.isEmpty()) return nullptr;
    for (QObject* child : owner->findChildren<QObject*>()) {
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
    }
    return nullptr;
}

std::optional<QMetaProperty> FindProperty(const QObject* object, const QString& name) {
    const QMetaObject* mo = object->metaObject();
    for (int i = 0; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (QString::fromLatin1(p.name()).compare(name, Qt::CaseInsensitive) == 0) return p;
    }
    return std::nullopt;
}

std::optional<QString> PropertyText(const QObject* object, const QMetaProperty& property) {
    const QVariant v = property.read(object);
    switch (KindOf(property)) {
    case Kind::Integer: return QString::number(v.toInt());
    case Kind::Unsigned: return QString::number(static_cast<int>(v.toUInt()));
    case Kind::Boolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Character: return QString(v.toChar());
    case Kind::String: return v.toString();
    case Kind::Enumeration: {
        const char* key = property.enumerator().valueToKey(v.toInt());
        return key ? std::optional<QString>(QString::fromLatin1(key)) : std::nullopt;
    }
    case Kind::None: break;
    }
    return std::nullopt;
}

bool KeepsEmptyText(const QMetaProperty& property) {
    const Kind k = KindOf(property);
    return k == Kind::String || k == Kind::Character;
}

void SetPropertyFromText(QObject* object, const QMetaProperty& property, const QString& text) {
    switch (KindOf(property)) {
    case Kind::Integer: property.write(object, ParseProfileInt(text).value_or(0)); break;
    case Kind::Unsigned: property.write(object, static_cast<uint>(ParseProfileInt(text).value_or(0))); break;
    case Kind::Boolean:
        if (text.compare(u"True", Qt::CaseInsensitive) == 0)
            property.write(object, true);
        else if (text.compare(u"False", Qt::CaseInsensitive) == 0)
            property.write(object, false);
        break;
    case Kind::Character: property.write(object, QVariant::fromValue(text.isEmpty() ? QChar() : text.front())); break;
    case Kind::String: property.write(object, text); break;
    case Kind::Enumeration: {
        const QMetaEnum e = property.enumerator();
        for (int i = 0; i < e.keyCount(); ++i) {
            if (QString::fromLatin1(e.key(i)).compare(text, Qt::CaseInsensitive) == 0) {
                property.write(object, e.value(i));
                break;
            }
        }
        break;
    }
    case Kind::None: break;
    }
}

} // namespace mx
