#pragma once

#include <charconv>
#include <concepts>
#include <iterator>
#include <string>

namespace tallyline {

// Numbers as SVG and PDF files take them, by std::to_chars, untouched by any
// locale: whole numbers as they are, others to so many decimals (a
// thousandth unless told) without the zeros that end them. Each is written
// from `at`, which must have room for it before `end`, and returns where
// the number ends.
template <std::integral Whole>
char* WriteNumber(char* at, char* end, Whole value) {
    return std::to_chars(at, end, value).ptr;
}

inline char* WriteNumber(char* at, char* end, double value, int decimals = 3) {
    char* last = std::to_chars(at, end, value, std::chars_format::fixed, decimals).ptr;
    while (last[-1] == '0') --last;
    if (last[-1] == '.') --last;
    return last;
}

// Room for any number that WriteNumber writes here.
constexpr int kLongestNumber = 48;

template <typename Number>
void AppendNumber(std::string& bytes, Number value) {
    char digits[kLongestNumber];
    bytes.append(digits, WriteNumber(digits, std::end(digits), value));
}

inline void AppendNumber(std::string& bytes, double value, int decimals) {
    char digits[kLongestNumber];
    bytes.append(digits, WriteNumber(digits, std::end(digits), value, decimals));
}

}  // namespace tallyline
