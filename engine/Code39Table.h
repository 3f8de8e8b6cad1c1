#pragma once

#include <array>
#include <cstddef>

#include "engine/ElementPattern.h"

namespace tallyline {

// The start/stop character, which the renderer draws at both ends of every
// symbol and nowhere else: a scanner takes it for the end of the symbol
// wherever it stands.
constexpr ElementPattern kStartStopPattern = "1 1221";

// Code 39 bars of every character code from 0 to 90: the 43 data
// characters. Every other entry, '*' among them, is empty and draws nothing,
// so that a text never holds the start/stop character.
constexpr std::size_t kCode39TableSize = 91;
constexpr int kCode39DataCharacters = 43;
using Code39Patterns = std::array<ElementPattern, kCode39TableSize>;

constexpr Code39Patterns Code39Table() noexcept {
    Code39Patterns table{};
    table[' '] = "1 2121";
    table['#'] = "";
    table['$'] = "1 1 1 11";
    table['%'] = "11 1 1 1";
    table['+'] = "1 11 1 1";
    table['-'] = "1 1122";
    table['.'] = "2 1121";
    table['/'] = "1 1 11 1";
    table['0'] = "11 221";
    table['1'] = "21 112";
    table['2'] = "12 112";
    table['3'] = "22 111";
    table['4'] = "11 212";
    table['5'] = "21 211";
    table['6'] = "12 211";
    table['7'] = "11 122";
    table['8'] = "21 121";
    table['9'] = "12 121";
    table['@'] = "";
    table['A'] = "211 12";
    table['B'] = "121 12";
    table['C'] = "221 11";
    table['D'] = "112 12";
    table['E'] = "212 11";
    table['F'] = "122 11";
    table['G'] = "111 22";
    table['H'] = "211 21";
    table['I'] = "121 21";
    table['J'] = "112 21";
    table['K'] = "2111 2";
    table['L'] = "1211 2";
    table['M'] = "2211 1";
    table['N'] = "1121 2";
    table['O'] = "2121 1";
    table['P'] = "1221 1";
    table['Q'] = "1112 2";
    table['R'] = "2112 1";
    table['S'] = "1212 1";
    table['T'] = "1122 1";
    table['U'] = "2 1112";
    table['V'] = "1 2112";
    table['W'] = "2 2111";
    table['X'] = "1 1212";
    table['Y'] = "2 1211";
    table['Z'] = "1 2211";
    return table;
}

namespace detail {

constexpr bool EveryPatternWellFormed() noexcept {
    int filled = 0;
    for (const ElementPattern pattern : Code39Table()) {
        if (pattern.empty()) continue;
        if (!IsWellFormed(pattern)) return false;
        ++filled;
    }
    return filled == kCode39DataCharacters;
}

// No two characters share bars, and none has the start/stop character's.
constexpr bool PatternsDistinct() noexcept {
    constexpr auto table = Code39Table();
    for (std::size_t a = 0; a < table.size(); ++a) {
        if (table[a].empty()) continue;
        if (table[a] == kStartStopPattern) return false;
        for (std::size_t b = a + 1; b < table.size(); ++b) {
            if (table[a] == table[b]) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::EveryPatternWellFormed());
static_assert(detail::PatternsDistinct());
static_assert(IsWellFormed(kStartStopPattern));

}  // namespace tallyline
