#include "platform/picture/QtText.h"

#include <algorithm>
#include <functional>

namespace tallyline {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t character) noexcept {
    return character <= 0x10FFFF && !(character >= 0xD800 && character <= 0xDFFF);
}

}  // namespace

Text ToText(const QString& text) { return text.toStdU32String(); }

QString ToQString(TextView text) {
    // Qt would pass on a value that is no character as broken UTF-16.
    Text scalars(text);
    std::replace_if(scalars.begin(), scalars.end(), std::not_fn(IsScalarValue), kReplacement);
    return QString::fromStdU32String(scalars);
}

}  // namespace tallyline
