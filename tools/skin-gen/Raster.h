#pragma once

#include <cstdint>
#include <vector>

namespace skingen {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Written the way the colours are quoted, #RRGGBB.
constexpr Rgb Hex(std::uint32_t rrggbb) noexcept {
    return {static_cast<std::uint8_t>(rrggbb >> 16), static_cast<std::uint8_t>(rrggbb >> 8),
            static_cast<std::uint8_t>(rrggbb)};
}

// A true-colour picture, top row first.
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Raster(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
    Rgb& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Rgb& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace skingen
