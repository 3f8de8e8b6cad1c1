#pragma once

#include "tools/skin-gen/Raster.h"

namespace skingen {

// The button's five faces, drawn side by side in face order.
Raster DrawSkin();

}  // namespace skingen
