#include "platform/picture/QtText.h"

namespace tallyline {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t character) noexcept {
    return character <= 0x10FFFF && !(character >= 0xD800 && character <= 0xDFFF);
}

}  // namespace

Text ToText(const QString& text) { return text.toStdU32String(); }

QString ToQString(TextView text) {
    // Character by character: Qt's whole-text conversion takes a leading
    // U+FEFF for a byte-order mark and drops it, and would pass on a value
    // that is no character as broken UTF-16.
    QString converted;
    converted.reserve(static_cast<qsizetype>(text.size()));
    for (const char32_t character : text)
        converted += QChar::fromUcs4(IsScalarValue(character) ? character : kReplacement);
    return converted;
}

}  // namespace tallyline
