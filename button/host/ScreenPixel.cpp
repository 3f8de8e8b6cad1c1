#include "button/host/ScreenPixel_p.h"

#include <algorithm>
#include <cmath>

#include "platform/core/Units.h"

namespace tallyline {

int ScreenPixel(float position) noexcept {
    if (std::isnan(position)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(static_cast<double>(position), -kFarthestPixel, kFarthestPixel)));
}

}  // namespace tallyline
