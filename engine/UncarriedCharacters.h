#pragma once

#include "engine/Symbol.h"
#include "platform/core/Text.h"

namespace tallyline {

// The characters of a text that its barcode of that form does not carry as
// themselves, each listed once, in the order it first appears. Standard:
// those without a Code 39 pattern (lower-case letters are carried as
// capitals), '*' among them, the start/stop character, which is drawn at the
// ends of the symbol only. Full ASCII: those outside ASCII. A character that
// is not carried still shows in the caption.
Text UncarriedCharacters(TextView text, Code39Form form = Code39Form::Standard);

}  // namespace tallyline
