#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tallyline {

// A prefix code as deflate stores it: each symbol's length in bits (0 for a
// symbol that does not occur) and its code, bit-reversed for deflate's
// least-significant-bit-first stream.
struct HuffmanCode {
    std::vector<std::uint8_t> lengths;
    std::vector<std::uint16_t> codes;
};

// The lengths of the shortest code for symbols that occur as often as
// `counts` says, no code longer than `longest` bits. At least two symbols
// get a code, so that a decoder always meets a whole code, even where fewer
// occur.
std::vector<std::uint8_t> OptimalLengths(std::span<const std::uint32_t> counts, int longest);

// That code.
HuffmanCode OptimalCode(std::span<const std::uint32_t> counts, int longest);

// The canonical codes of the lengths, as deflate defines them.
HuffmanCode CanonicalCode(std::vector<std::uint8_t> lengths);

}  // namespace tallyline
