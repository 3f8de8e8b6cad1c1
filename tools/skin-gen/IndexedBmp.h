#pragma once

#include <cstdint>
#include <vector>

#include "tools/skin-gen/Raster.h"

namespace skingen {

// An 8-bit palettized Windows bitmap with a full 256-entry palette, rows
// bottom-up and padded to four bytes. Throws std::length_error when the
// picture has more than 256 colours.
std::vector<std::uint8_t> EncodeIndexedBmp(const Raster& raster);

}  // namespace skingen
