#pragma once

#include <string_view>

#include "platform/core/Text.h"

namespace tallyline {

// The data characters of Code 39 in the order of their values for the
// modulo-43 check character of ISO/IEC 16388: '0' is 0, 'A' is 10, '-' is
// 36, ' ' is 38 and '%' is 42.
inline constexpr std::string_view kCheckValues = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

// The check character of the text's symbol: the character whose value is the
// sum of the values of the characters that the bars carry, modulo 43. Only
// the bars count, as a scanner sees only them: lower case counts as the
// capital it is drawn as, and a character without bars ('*', '#', 'é')
// counts for nothing.
char32_t CheckCharacter(TextView text) noexcept;

}  // namespace tallyline
