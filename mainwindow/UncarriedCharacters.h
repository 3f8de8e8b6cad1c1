#pragma once

#include "Text.h"

namespace tallyline {

// The characters of a text that its barcode does not carry as themselves:
// those without a Code 39 pattern, which vanish from the bars while the
// caption still shows them, and those drawn as the start/stop character,
// which a scanner reads as the end of the symbol. Each is listed once, in
// the order it first appears; lower-case letters are carried as capitals.
Text UncarriedCharacters(TextView text);

}  // namespace tallyline
