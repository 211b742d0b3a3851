#pragma once
// Control properties addressed by name, and their value texts in the
// settings file.
#include <QString>
#include <optional>

class QMetaProperty;
class QObject;

namespace mx {

// A descendant of owner with that object name, found without regard to case.
QObject* FindComponent(const QObject* owner, const QString& name);
// The published property of that name, found without regard to case.
std::optional<QMetaProperty> FindProperty(const QObject* object, const QString& name);

// The property's value text: integers (colours and item indexes included)
// as signed 32-bit decimals, characters as themselves, enumerations and
// booleans by name, strings as they are. Nothing for other kinds.
std::optional<QString> PropertyText(const QObject* object, const QMetaProperty& property);
// Whether an empty value text is still written (strings and characters).
bool KeepsEmptyText(const QMetaProperty& property);
// Sets the property through its setter: integers from a profile integer,
// else 0; characters from the first character; enumerations and booleans
// from a name matched without regard to case, else unchanged.
void SetPropertyFromText(QObject* object, const QMetaProperty& property, const QString& text);

} // namespace mx
