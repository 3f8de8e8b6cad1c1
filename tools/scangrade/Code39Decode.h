#pragma once

#include <string>
#include <vector>

#include "tools/scangrade/Elements.h"

namespace tallyline::scangrade {

// What the reference decoder makes of one scan line's elements.
struct Decoded {
    bool ok = false;
    // The data between the start and stop characters.
    std::string text;
    // Why the line does not decode.
    std::string problem;
    // 0 to 1: the least share of its margin to the wide/narrow decision that
    // any element keeps, the decision lying at 1.5 modules. 1 when every
    // element is exactly one or two modules wide.
    double decodability = 0;
    // The module in dots: each character's nine elements span 12 modules.
    double module = 0;
    // The mean wide element over the mean narrow one.
    double wideToNarrow = 0;
};

// Reads the elements as Code 39 with wide elements twice the narrow ones:
// quiet zones of at least 10 modules at both ends, characters of nine
// elements with three wide, each character measured against its own width,
// and the start/stop character at both ends only.
Decoded DecodeCode39(const std::vector<Element>& elements);

}  // namespace tallyline::scangrade
