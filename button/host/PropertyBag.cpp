#include "button/host/PropertyBag.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "platform/core/RuntimeError.h"

namespace tallyline {
namespace {

[[noreturn]] void Fail(ErrorNumber number, const QString& key) {
    throw RuntimeError(number, std::string(StandardDescription(number)) + ": \"" + key.toStdString() + "\"");
}

// Text as the platform reads a number: blanks around it allowed, decimal.
std::optional<double> NumberIn(const QString& text) {
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok) return std::nullopt;
    return number;
}

std::int32_t RoundedLong(double value, const QString& key) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max())) {
        Fail(ErrorNumber::Overflow, key);
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

PropertyValue PropertyBag::ReadProperty(const QString& Name, const PropertyValue& DefaultValue) const {
    const auto entry = Find(Name);
    return entry != entries_.end() ? entry->second : DefaultValue;
}

void PropertyBag::WriteProperty(const QString& Name, const PropertyValue& Value, const PropertyValue& DefaultValue) {
    if (Value == DefaultValue) {
        const auto entry = Find(Name);
        if (entry != entries_.end()) entries_.erase(entry);
        return;
    }
    Store(Name, Value);
}

void PropertyBag::Store(const QString& name, PropertyValue value) {
    const auto entry = Find(name);
    if (entry != entries_.end()) {
        entries_[static_cast<std::size_t>(entry - entries_.begin())].second = std::move(value);
    } else {
        entries_.emplace_back(name, std::move(value));
    }
}

PropertyBag::Entries::const_iterator PropertyBag::Find(const QString& name) const {
    return std::find_if(entries_.begin(), entries_.end(),
                        [&](const auto& entry) { return entry.first.compare(name, Qt::CaseInsensitive) == 0; });
}

bool CBool(const PropertyValue& value, const QString& key) {
    if (const bool* flag = std::get_if<bool>(&value)) return *flag;
    if (const std::int32_t* number = std::get_if<std::int32_t>(&value)) return *number != 0;
    if (const QString* text = std::get_if<QString>(&value)) {
        const QString word = text->trimmed();
        if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
        if (const auto number = NumberIn(word)) return *number != 0;
    }
    Fail(ErrorNumber::TypeMismatch, key);
}

std::int32_t CLng(const PropertyValue& value, const QString& key) {
    if (const bool* flag = std::get_if<bool>(&value)) return *flag ? -1 : 0;
    if (const std::int32_t* number = std::get_if<std::int32_t>(&value)) return *number;
    if (const QString* text = std::get_if<QString>(&value)) {
        if (const auto number = NumberIn(*text)) return RoundedLong(*number, key);
    }
    Fail(ErrorNumber::TypeMismatch, key);
}

QString CStr(const PropertyValue& value, const QString& key) {
    if (const bool* flag = std::get_if<bool>(&value)) return *flag ? QStringLiteral("True") : QStringLiteral("False");
    if (const std::int32_t* number = std::get_if<std::int32_t>(&value)) return QString::number(*number);
    if (const QString* text = std::get_if<QString>(&value)) return *text;
    Fail(ErrorNumber::TypeMismatch, key);
}

QFont CFont(const PropertyValue& value, const QString& key) {
    if (const QFont* font = std::get_if<QFont>(&value)) return *font;
    Fail(ErrorNumber::TypeMismatch, key);
}

}  // namespace tallyline
