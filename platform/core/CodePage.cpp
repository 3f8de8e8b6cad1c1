#include "platform/core/CodePage.h"

#include <array>

namespace tallyline::codepage {
namespace {

// Codes 0x80 to 0x9F; zero marks the five codes that are not assigned.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

constexpr std::uint8_t kUpperOf[][2] = {
    {0x9A, 0x8A},  // s caron
    {0x9C, 0x8C},  // oe
    {0x9E, 0x8E},  // z caron
    {0xFF, 0x9F},  // y diaeresis
};

}  // namespace

std::optional<std::uint8_t> Asc(char32_t character) noexcept {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<std::uint8_t>(character);
    }
    // The five unassigned codes are held by the C1 controls of the same value.
    if (character < 0xA0 && kHighControls[character - 0x80] == 0) {
        return static_cast<std::uint8_t>(character);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == character) {
            return static_cast<std::uint8_t>(0x80 + i);
        }
    }
    return std::nullopt;
}

char32_t Chr(std::uint8_t code) noexcept {
    if (code < 0x80 || code >= 0xA0) return code;
    const char32_t mapped = kHighControls[code - 0x80];
    // Unassigned codes round-trip through the C1 control of the same value.
    return mapped != 0 ? mapped : char32_t{code};
}

char32_t UCase(char32_t character) noexcept {
    const auto code = Asc(character);
    if (!code) return character;
    const std::uint8_t c = *code;
    if (c >= 'a' && c <= 'z') return Chr(static_cast<std::uint8_t>(c - 0x20));
    // Latin-1 lower-case letters, but the division sign has no capital.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return Chr(static_cast<std::uint8_t>(c - 0x20));
    for (const auto& [lower, upper] : kUpperOf) {
        if (c == lower) return Chr(upper);
    }
    return character;
}

Text UCase(TextView text) {
    Text upper(text);
    for (char32_t& character : upper) character = UCase(character);
    return upper;
}

}  // namespace tallyline::codepage
