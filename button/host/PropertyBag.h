#pragma once

#include <QFont>
#include <QString>
#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

namespace tallyline {

// A saved value: Boolean, 32-bit integer, text or font.
using PropertyValue = std::variant<bool, std::int32_t, QString, QFont>;

// The saved properties of one control instance. Keys are matched without
// regard to case; entries keep the order in which they were first stored.
class PropertyBag {
public:
    // The value stored under the key, or the default when there is none.
    PropertyValue ReadProperty(const QString& Name, const PropertyValue& DefaultValue) const;
    // Stores the value, or removes the key when the value equals its
    // default, so that a bag holds only what differs from the defaults.
    void WriteProperty(const QString& Name, const PropertyValue& Value, const PropertyValue& DefaultValue);

    bool Contains(const QString& name) const { return Find(name) != entries_.end(); }
    // Stores the value whatever the default, as a saved file has it.
    void Store(const QString& name, PropertyValue value);

private:
    using Entries = std::vector<std::pair<QString, PropertyValue>>;
    Entries::const_iterator Find(const QString& name) const;

    Entries entries_;
};

// The platform's conversions of a read value to a property's type. A value
// that cannot be converted raises TypeMismatch (Overflow for a number out of
// range) with a message that names the key it was read from.
bool CBool(const PropertyValue& value, const QString& key);
std::int32_t CLng(const PropertyValue& value, const QString& key);
QString CStr(const PropertyValue& value, const QString& key);
QFont CFont(const PropertyValue& value, const QString& key);

}  // namespace tallyline
