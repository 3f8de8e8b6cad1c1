#pragma once

#include "Text.h"

namespace tallyline {

// Whether the barcode carries the character as itself: it has a Code 39
// pattern (lower-case letters are carried as capitals) and is not drawn as
// the start/stop character, which a scanner reads as the end of the symbol.
// A character that is not carried still shows in the caption.
bool IsCarried(char32_t character) noexcept;

// The characters of a text that its barcode does not carry, each listed
// once, in the order it first appears.
Text UncarriedCharacters(TextView text);

}  // namespace tallyline
