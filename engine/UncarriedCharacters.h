#pragma once

#include "platform/core/Text.h"

namespace tallyline {

// The characters of a text that its barcode does not carry as themselves,
// each listed once, in the order it first appears: those without a Code 39
// pattern (lower-case letters are carried as capitals), '*' among them, the
// start/stop character, which is drawn at the ends of the symbol only. A
// character that is not carried still shows in the caption.
Text UncarriedCharacters(TextView text);

}  // namespace tallyline
