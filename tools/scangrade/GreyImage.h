#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tallyline::scangrade {

// A page as a scanner sees it: one sample a dot, row by row, 0 black to 255
// white. Reflectance is the sample over 255.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> dots;

    std::uint8_t At(int x, int y) const { return dots[static_cast<std::size_t>(y) * width + x]; }
    std::uint8_t& At(int x, int y) { return dots[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace tallyline::scangrade
