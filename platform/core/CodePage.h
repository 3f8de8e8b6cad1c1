#pragma once

#include <cstdint>
#include <optional>

#include "platform/core/Text.h"

// The system's single-byte code page, Windows-1252.
namespace tallyline::codepage {

// The character's code (0 to 255), or nothing when the code page cannot hold it.
std::optional<std::uint8_t> Asc(char32_t character) noexcept;

// The character of a code.
char32_t Chr(std::uint8_t code) noexcept;

// Upper case as the code page knows it: a to z and the accented letters that
// have a capital in the code page. One character in, one out, so the length
// never changes; a character outside the code page stays as it is.
char32_t UCase(char32_t character) noexcept;
Text UCase(TextView text);

}  // namespace tallyline::codepage
