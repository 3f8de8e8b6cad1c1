#include "platform/files/HuffmanCode_p.h"

#include <algorithm>
#include <array>
#include <functional>
#include <queue>
#include <utility>

namespace tallyline {

HuffmanCode OptimalCode(std::span<const std::uint32_t> counts, int longest) {
    std::vector<int> used;
    for (std::size_t symbol = 0; symbol < counts.size(); ++symbol) {
        if (counts[symbol] > 0) used.push_back(static_cast<int>(symbol));
    }
    for (int symbol = 0; used.size() < 2; ++symbol) {
        if (counts[symbol] == 0) used.push_back(symbol);
    }
    // Most frequent first; a tie goes to the lower symbol, so that a picture
    // always makes the same file.
    std::sort(used.begin(), used.end(), [&](int a, int b) { return std::pair(counts[b], a) < std::pair(counts[a], b); });

    // Huffman's tree, leaves first: each node's parent, and the depth of each leaf.
    using Node = std::pair<std::uint64_t, int>;  // weight, index
    std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
    std::vector<int> parent(2 * used.size() - 1, -1);
    for (std::size_t i = 0; i < used.size(); ++i) queue.emplace(counts[used[i]], static_cast<int>(i));
    for (int next = static_cast<int>(used.size()); queue.size() > 1; ++next) {
        const Node a = queue.top();
        queue.pop();
        const Node b = queue.top();
        queue.pop();
        parent[a.second] = parent[b.second] = next;
        queue.emplace(a.first + b.first, next);
    }
    // How many codes of each length; those over the longest are cut to it,
    // and the code made whole again by lengthening the longest shorter codes
    // (the way zlib and miniz keep to deflate's limit).
    std::vector<int> ofLength(longest + 1, 0);
    for (std::size_t i = 0; i < used.size(); ++i) {
        int depth = 0;
        for (int node = static_cast<int>(i); parent[node] >= 0; node = parent[node]) ++depth;
        ++ofLength[std::min(depth, longest)];
    }
    std::uint64_t kraft = 0;
    for (int length = 1; length <= longest; ++length) kraft += static_cast<std::uint64_t>(ofLength[length]) << (longest - length);
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
    std::vector<std::uint8_t> lengths(counts.size(), 0);
    auto symbol = used.begin();
    for (int length = 1; length <= longest; ++length) {
        for (int n = 0; n < ofLength[length]; ++n) lengths[*symbol++] = static_cast<std::uint8_t>(length);
    }
    return CanonicalCode(std::move(lengths));
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
        const unsigned value = next[length]++;
        unsigned reversed = 0;
        for (int bit = 0; bit < length; ++bit) reversed |= ((value >> bit) & 1) << (length - 1 - bit);
        code.codes[symbol] = static_cast<std::uint16_t>(reversed);
    }
    return code;
}

}  // namespace tallyline
