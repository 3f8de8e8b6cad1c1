#pragma once

#include <string_view>

namespace tallyline {

// One character's bars and spaces, read left to right: "1" is a module of
// space then a narrow bar, "2" a module of space then a wide bar (two
// modules), a blank one more module of space. The space that each digit
// brings along is the gap in front of the character's first bar, and a blank
// widens the space in front of the next bar. Empty draws nothing.
using ElementPattern = std::string_view;

constexpr int kModulesPerCharacter = 13;

// Modules that a pattern advances the pen.
constexpr int ModuleCount(ElementPattern pattern) noexcept {
    int modules = 0;
    for (const char symbol : pattern) {
        if (symbol == ' ') modules += 1;
        if (symbol == '1') modules += 2;
        if (symbol == '2') modules += 3;
    }
    return modules;
}

// A drawable pattern: five bars, one or three blanks between digits, never
// two together, and three of the nine elements wide, making 13 modules.
constexpr bool IsWellFormed(ElementPattern pattern) noexcept {
    if (pattern.empty() || pattern.size() > 8) return false;
    if (pattern.front() == ' ' || pattern.back() == ' ') return false;
    int digits = 0, blanks = 0, wideBars = 0;
    char previous = '\0';
    for (const char symbol : pattern) {
        if (symbol == ' ') {
            if (previous == ' ') return false;
            ++blanks;
        } else if (symbol == '1' || symbol == '2') {
            ++digits;
            if (symbol == '2') ++wideBars;
        } else {
            return false;
        }
        previous = symbol;
    }
    const bool wideOk = (blanks == 1 && wideBars == 2) || (blanks == 3 && wideBars == 0);
    return digits == 5 && wideOk && ModuleCount(pattern) == kModulesPerCharacter;
}

}  // namespace tallyline
