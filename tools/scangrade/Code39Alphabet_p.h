#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tallyline::scangrade {

// One Code 39 character as ISO/IEC 16388 tabulates it: its nine elements from
// the first bar to the last, bar and space in turn, 'n' narrow and 'w' wide.
struct Code39Character {
    char character;
    std::string_view elements;
};

constexpr int kCode39Elements = 9;
constexpr int kCode39WideElements = 3;

// The 43 data characters and the start/stop character, typed from the
// standard rather than taken from the program's table: a verifier that read
// with the program's own bars would read back whatever the program drew, right
// or wrong.
constexpr std::array<Code39Character, 44> kCode39Alphabet{{
    {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"},
    {'4', "nnnwwnnnw"}, {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"},
    {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"}, {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"},
    {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"}, {'F', "nnwnwwnnn"},
    {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"},
    {'O', "wnnnwnnwn"}, {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"},
    {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"}, {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"},
    {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"}, {'Z', "nwwnwnnnn"},
    {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'$', "nwnwnwnnn"},
    {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"}, {'*', "nwnnwnwnn"},
}};

namespace detail {

// Nine elements, each narrow or wide, three of them wide.
constexpr bool EveryCharacterThreeOfNine() noexcept {
    for (const Code39Character& entry : kCode39Alphabet) {
        if (entry.elements.size() != kCode39Elements) return false;
        int wide = 0;
        for (const char element : entry.elements) {
            if (element != 'n' && element != 'w') return false;
            wide += element == 'w';
        }
        if (wide != kCode39WideElements) return false;
    }
    return true;
}

// No character twice, and no two characters with the same elements.
constexpr bool EveryCharacterDistinct() noexcept {
    for (std::size_t a = 0; a < kCode39Alphabet.size(); ++a) {
        for (std::size_t b = a + 1; b < kCode39Alphabet.size(); ++b) {
            if (kCode39Alphabet[a].character == kCode39Alphabet[b].character) return false;
            if (kCode39Alphabet[a].elements == kCode39Alphabet[b].elements) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::EveryCharacterThreeOfNine());
static_assert(detail::EveryCharacterDistinct());

}  // namespace tallyline::scangrade
