#include "ScreenPixel.h"

#include <algorithm>
#include <cmath>

namespace tallyline {
namespace {

constexpr double kFarthest = 1 << 20;

}  // namespace

int ScreenPixel(float position) noexcept {
    if (std::isnan(position)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(static_cast<double>(position), -kFarthest, kFarthest)));
}

}  // namespace tallyline
