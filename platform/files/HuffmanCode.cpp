#include "platform/files/HuffmanCode_p.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tallyline {

std::vector<std::uint8_t> OptimalLengths(std::span<const std::uint32_t> counts, int longest) {
    // The symbols that occur, least frequent first (a tie to the higher
    // symbol, so that a picture always makes the same file), at least two.
    struct Leaf {
        std::uint32_t weight;
        int symbol;
    };
    // On the stack: deflate's alphabets are at most 288 symbols.
    std::array<Leaf, 288> leafSpace;
    std::size_t occurring = 0;
    for (std::size_t symbol = 0; symbol < counts.size(); ++symbol) {
        if (counts[symbol] > 0) leafSpace[occurring++] = {counts[symbol], static_cast<int>(symbol)};
    }
    for (int symbol = 0; occurring < 2; ++symbol) {
        if (counts[symbol] == 0) leafSpace[occurring++] = {0, symbol};
    }
    const std::span<Leaf> leaves(leafSpace.data(), occurring);
    std::sort(leaves.begin(), leaves.end(), [](const Leaf& a, const Leaf& b) {
        return std::pair(a.weight, b.symbol) < std::pair(b.weight, a.symbol);
    });

    // Huffman's tree in place (Moffat and Katajainen): the first pass pairs
    // the two lightest of leaves and trees, each tree's slot then naming its
    // parent; the second turns parents into depths; the third gives the
    // leaves the depths that the trees leave free, deepest to the lightest.
    const int n = static_cast<int>(leaves.size());
    std::array<std::uint64_t, 288> a{};
    for (int i = 0; i < n; ++i) a[i] = leaves[i].weight;
    a[0] += a[1];
    for (int next = 1, root = 0, leaf = 2; next < n - 1; ++next) {
        for (int pick = 0; pick < 2; ++pick) {
            const bool takeTree = leaf >= n || (root < next && a[root] < a[leaf]);
            const std::uint64_t weight = takeTree ? a[root] : a[leaf++];
            if (takeTree) a[root++] = static_cast<std::uint64_t>(next);
            a[next] = pick == 0 ? weight : a[next] + weight;
        }
    }
    a[n - 2] = 0;
    for (int next = n - 3; next >= 0; --next) a[next] = a[a[next]] + 1;
    std::array<int, 290> ofLength{};
    for (int available = 1, depth = 0, root = n - 2, next = n - 1; available > 0; ++depth) {
        int used = 0;
        for (; root >= 0 && a[root] == static_cast<std::uint64_t>(depth); --root) ++used;
        for (; available > used; --available, --next) ++ofLength[depth];
        available = 2 * used;
    }
    // Codes longer than the longest are cut to it, and the code made whole
    // again by lengthening the longest shorter codes (the way zlib and miniz
    // keep to deflate's limit).
    for (std::size_t length = longest + 1; length <= leaves.size(); ++length) ofLength[longest] += ofLength[length];
    std::uint64_t kraft = 0;
    for (int length = 1; length <= longest; ++length)
        kraft += static_cast<std::uint64_t>(ofLength[length]) << (longest - length);
    for (; kraft > (std::uint64_t{1} << longest); --kraft) {
        --ofLength[longest];
        for (int length = longest - 1; length > 0; --length) {
            if (ofLength[length] > 0) {
                --ofLength[length];
                ofLength[length + 1] += 2;
                break;
            }
        }
    }
    // The shortest codes to the most frequent symbols.
    std::vector<std::uint8_t> lengths(counts.size(), 0);
    auto leaf = leaves.rbegin();
    for (int length = 1; length <= longest; ++length) {
        for (int i = 0; i < ofLength[length]; ++i) lengths[(leaf++)->symbol] = static_cast<std::uint8_t>(length);
    }
    return lengths;
}

HuffmanCode OptimalCode(std::span<const std::uint32_t> counts, int longest) {
    return CanonicalCode(OptimalLengths(counts, longest));
}

HuffmanCode CanonicalCode(std::vector<std::uint8_t> lengths) {
    constexpr int kLongest = 15;
    std::array<unsigned, kLongest + 1> ofLength{};
    for (const std::uint8_t length : lengths) ++ofLength[length];
    ofLength[0] = 0;
    std::array<unsigned, kLongest + 1> next{};
    for (int length = 1; length <= kLongest; ++length) next[length] = (next[length - 1] + ofLength[length - 1]) << 1;
    HuffmanCode code{std::move(lengths), {}};
    code.codes.resize(code.lengths.size());
    for (std::size_t symbol = 0; symbol < code.lengths.size(); ++symbol) {
        const int length = code.lengths[symbol];
        if (length == 0) continue;
        // Reversed as sixteen bits, by halves, quarters, eighths..., then shifted down.
        unsigned value = next[length]++;
        value = (value & 0x00FF) << 8 | (value & 0xFF00) >> 8;
        value = (value & 0x0F0F) << 4 | (value & 0xF0F0) >> 4;
        value = (value & 0x3333) << 2 | (value & 0xCCCC) >> 2;
        value = (value & 0x5555) << 1 | (value & 0xAAAA) >> 1;
        code.codes[symbol] = static_cast<std::uint16_t>(value >> (16 - length));
    }
    return code;
}

}  // namespace tallyline
