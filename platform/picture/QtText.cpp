#include "platform/picture/QtText.h"

namespace tallyline {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t character) noexcept {
    return character <= 0x10FFFF && !(character >= 0xD800 && character <= 0xDFFF);
}

}  // namespace

Text ToText(const QString& text) {
    Text result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            result.push_back(QChar::surrogateToUcs4(unit, text[i + 1]));
            ++i;
        } else if (unit.isSurrogate()) {
            result.push_back(kReplacement);
        } else {
            result.push_back(unit.unicode());
        }
    }
    return result;
}

QString ToQString(TextView text) {
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (const char32_t character : text) {
        const char32_t scalar = IsScalarValue(character) ? character : kReplacement;
        if (QChar::requiresSurrogates(scalar)) {
            result.append(QChar(QChar::highSurrogate(scalar)));
            result.append(QChar(QChar::lowSurrogate(scalar)));
        } else {
            result.append(QChar(static_cast<char16_t>(scalar)));
        }
    }
    return result;
}

}  // namespace tallyline
