#pragma once

#include <cstdint>

namespace tallyline {

// A 24-bit colour with red in the low byte. With the top bit set the value
// names a system colour instead (the low byte picks which).
using Colour = std::uint32_t;

constexpr Colour RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) noexcept {
    return Colour{red} | (Colour{green} << 8) | (Colour{blue} << 16);
}

constexpr std::uint8_t RedOf(Colour colour) noexcept { return colour & 0xFF; }
constexpr std::uint8_t GreenOf(Colour colour) noexcept { return (colour >> 8) & 0xFF; }
constexpr std::uint8_t BlueOf(Colour colour) noexcept { return (colour >> 16) & 0xFF; }

constexpr Colour kSystemColourFlag = 0x80000000u;
constexpr Colour kWindowBackground = kSystemColourFlag | 5;
constexpr Colour kWindowText = kSystemColourFlag | 8;
constexpr Colour kButtonText = kSystemColourFlag | 18;

constexpr bool IsSystemColour(Colour colour) noexcept { return (colour & kSystemColourFlag) != 0; }

constexpr Colour kBlack = RGB(0, 0, 0);
constexpr Colour kWhite = RGB(255, 255, 255);

}  // namespace tallyline
