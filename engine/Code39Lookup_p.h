#pragma once

#include "engine/Code39Table.h"

namespace tallyline {

// The pattern that draws a character: the table entry of its code in the
// code page. Codes past the table, and characters that the code page cannot
// hold, read entry 0, which is empty. The character is taken as it is:
// upper-casing is the caller's.
ElementPattern PatternOf(const Code39Patterns& table, char32_t character) noexcept;

}  // namespace tallyline
