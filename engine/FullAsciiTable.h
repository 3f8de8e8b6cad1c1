#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "engine/Code39Table.h"

namespace tallyline {

// Code 39's full-ASCII form, as ISO/IEC 16388 gives it: the data characters
// that carry each ASCII code from 0 to 127. The space, '-', '.', the digits
// and the capitals stand for themselves; every other code is a pair of a
// shift ('$', '%', '/' or '+') and a capital, so '$', '%', '/' and '+' are
// pairs too ('/D', '/E', '/O', '/K'). A reader that expands full ASCII turns
// the pairs back into the codes; one that does not reads them as they are.
constexpr std::size_t kAsciiCodes = 128;
using FullAsciiPairs = std::array<std::string_view, kAsciiCodes>;

inline constexpr FullAsciiPairs kFullAscii = {
    // NUL, then SOH to SUB as '$' and their letter, ESC to US as '%A' to '%E'.
    "%U",
    "$A",
    "$B",
    "$C",
    "$D",
    "$E",
    "$F",
    "$G",
    "$H",
    "$I",
    "$J",
    "$K",
    "$L",
    "$M",
    "$N",
    "$O",
    "$P",
    "$Q",
    "$R",
    "$S",
    "$T",
    "$U",
    "$V",
    "$W",
    "$X",
    "$Y",
    "$Z",
    "%A",
    "%B",
    "%C",
    "%D",
    "%E",
    // space ! " # $ % & ' ( ) * + , - . /
    " ",
    "/A",
    "/B",
    "/C",
    "/D",
    "/E",
    "/F",
    "/G",
    "/H",
    "/I",
    "/J",
    "/K",
    "/L",
    "-",
    ".",
    "/O",
    // 0 to 9, : ; < = > ?
    "0",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "/Z",
    "%F",
    "%G",
    "%H",
    "%I",
    "%J",
    // @, A to O
    "%V",
    "A",
    "B",
    "C",
    "D",
    "E",
    "F",
    "G",
    "H",
    "I",
    "J",
    "K",
    "L",
    "M",
    "N",
    "O",
    // P to Z, [ \ ] ^ _
    "P",
    "Q",
    "R",
    "S",
    "T",
    "U",
    "V",
    "W",
    "X",
    "Y",
    "Z",
    "%K",
    "%L",
    "%M",
    "%N",
    "%O",
    // `, a to o
    "%W",
    "+A",
    "+B",
    "+C",
    "+D",
    "+E",
    "+F",
    "+G",
    "+H",
    "+I",
    "+J",
    "+K",
    "+L",
    "+M",
    "+N",
    "+O",
    // p to z, { | } ~ DEL
    "+P",
    "+Q",
    "+R",
    "+S",
    "+T",
    "+U",
    "+V",
    "+W",
    "+X",
    "+Y",
    "+Z",
    "%P",
    "%Q",
    "%R",
    "%S",
    "%T",
};

namespace detail {

constexpr bool IsShift(char character) noexcept {
    return character == '$' || character == '%' || character == '/' || character == '+';
}

// Every code is carried by characters that have bars: a character of the
// 43 that is no shift as itself, any other code as a shift and a capital.
constexpr bool PairsAreDataCharacters() noexcept {
    constexpr Code39Patterns kTable = Code39Table();
    for (std::size_t code = 0; code < kFullAscii.size(); ++code) {
        const std::string_view pair = kFullAscii[code];
        for (const char character : pair) {
            if (kTable[static_cast<unsigned char>(character)].empty()) return false;
        }
        const char self = static_cast<char>(code);
        const bool plain = code < kTable.size() && !kTable[code].empty() && !IsShift(self);
        if (plain ? pair != std::string_view(&self, 1)
                  : pair.size() != 2 || !IsShift(pair[0]) || pair[1] < 'A' || pair[1] > 'Z') {
            return false;
        }
    }
    return true;
}

// No two codes share their characters, so a reader expands each one way.
constexpr bool PairsDistinct() noexcept {
    for (std::size_t a = 0; a < kFullAscii.size(); ++a) {
        for (std::size_t b = a + 1; b < kFullAscii.size(); ++b) {
            if (kFullAscii[a] == kFullAscii[b]) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::PairsAreDataCharacters());
static_assert(detail::PairsDistinct());

}  // namespace tallyline
