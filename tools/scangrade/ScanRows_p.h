#pragma once

#include <vector>

#include "tools/scangrade/GreyImage.h"

namespace tallyline::scangrade {

// The rows a verifier scans: count rows spread evenly over the middle 80% of
// the bars' height, top to bottom. The bars are the tallest band of rows that
// each cross at least a symbol's worth of dark runs between the same outer
// edges; text and other marks on the page fall outside it. None when the
// page holds no such band.
std::vector<int> ScanRows(const GreyImage& page, int count);

}  // namespace tallyline::scangrade
