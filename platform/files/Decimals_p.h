#pragma once

#include <charconv>
#include <concepts>
#include <iterator>
#include <string>

namespace tallyline {

// Numbers as SVG and PDF files take them, by std::to_chars, untouched by any
// locale: whole numbers as they are, others to so many decimals (a
// thousandth unless told) without the zeros that end them.
template <std::integral Whole>
void AppendNumber(std::string& bytes, Whole value) {
    char digits[24];
    bytes.append(digits, std::to_chars(std::begin(digits), std::end(digits), value).ptr - digits);
}

inline void AppendNumber(std::string& bytes, double value, int decimals = 3) {
    char digits[48];
    const char* end =
        std::to_chars(std::begin(digits), std::end(digits), value, std::chars_format::fixed, decimals).ptr;
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
    bytes.append(digits, end - digits);
}

}  // namespace tallyline
