#pragma once

#include "platform/core/Text.h"

namespace tallyline {

// How a text becomes Code 39 data characters.
enum class Code39Form {
    // The window's: each character as itself, lower case as capitals; a
    // character without bars stays in the data and draws nothing.
    Standard,
    // Every ASCII character, lower case and controls too, as the data
    // characters of its full-ASCII pair; a character outside ASCII stays in
    // the data and draws nothing.
    FullAscii,
};

// What a symbol draws: its data characters as bars, in order, and its
// caption beneath them.
struct Symbol {
    Text caption;
    Text data;
};

// The symbol of a text. Standard: the caption and the data are the text
// upper-cased. Full ASCII: the caption is the text as typed, each control
// character shown by its stand-in, and the data the text's pairs.
Symbol SymbolOf(TextView text, Code39Form form);

// What a caption shows for a character: an ASCII control character, which
// would show as nothing, as its picture among Unicode's Control Pictures
// (U+2409 for a tab, U+2421 for DEL); any other character as itself.
char32_t VisibleStandIn(char32_t character) noexcept;

}  // namespace tallyline
