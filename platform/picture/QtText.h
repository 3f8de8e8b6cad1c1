#pragma once

#include <QString>

#include "platform/core/Text.h"

namespace tallyline {

// Qt holds text as UTF-16; the program holds one element per character.
// A lone surrogate half, which names no character, becomes U+FFFD.
Text ToText(const QString& text);
// A value that is not a Unicode scalar value becomes U+FFFD.
QString ToQString(TextView text);

}  // namespace tallyline
