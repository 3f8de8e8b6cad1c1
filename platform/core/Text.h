#pragma once

#include <string>
#include <string_view>

namespace tallyline {

// Text as the user typed it, one element per character. Keeping Unicode here
// (rather than code-page bytes) lets a caption show a character that the code
// page cannot hold; the code page is consulted only where a code is needed.
using Text = std::u32string;
using TextView = std::u32string_view;

}  // namespace tallyline
