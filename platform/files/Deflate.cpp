#include "platform/files/Deflate_p.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "platform/files/HuffmanCode_p.h"

namespace tallyline {
namespace {

constexpr std::size_t kShortestCopy = 3;
constexpr std::size_t kLongestCopy = 258;
constexpr std::size_t kLongestDistance = 32768;
// Shorter copies cost more than the bytes they stand for once these are
// coded by how often they come, as filtered rows' small values are: zlib's
// "filtered" strategy, which libpng takes, leaves them out too.
constexpr std::size_t kShortestWorthCopying = 6;
// Symbols a block holds at most: its codes fit what it holds, and a block's
// header is small beside this many.
constexpr std::size_t kBlockSymbols = 1 << 15;
// How many earlier places that hash alike are tried for a copy, and the copy
// that is taken without looking one byte further for a longer one.
constexpr int kTries = 128;
constexpr std::size_t kGoodEnough = 258;
// The places inside a longer copy are not remembered: a barcode's long
// copies are runs, which the copy from one byte back finds anyway.
constexpr std::size_t kRememberedCopy = 32;

constexpr int kLiteralLengthSymbols = 286;
constexpr int kDistanceSymbols = 30;
constexpr int kEndOfBlock = 256;
constexpr int kLongestCode = 15;
constexpr int kLongestLengthCode = 7;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

constexpr auto kLengthCodeOf = [] {
    std::array<std::uint8_t, kLongestCopy + 1> table{};
    for (std::size_t code = 0; code < kLengthBase.size(); ++code) {
        for (std::size_t length = kLengthBase[code]; length < kLengthBase[code] + (1u << kLengthExtra[code]); ++length) {
            if (length <= kLongestCopy) table[length] = static_cast<std::uint8_t>(code);
        }
    }
    return table;
}();

// Distances up to 256 by themselves, longer ones by their 128s, as zlib tables them.
constexpr auto kDistanceCodeTable = [] {
    std::array<std::uint8_t, 512> table{};
    for (std::size_t code = 0; code < kDistanceBase.size(); ++code) {
        for (std::size_t distance = kDistanceBase[code]; distance < kDistanceBase[code] + (1u << kDistanceExtra[code]);
             ++distance) {
            table[distance <= 256 ? distance - 1 : 256 + ((distance - 1) >> 7)] = static_cast<std::uint8_t>(code);
        }
    }
    return table;
}();
int DistanceCodeOf(std::size_t distance) {
    return kDistanceCodeTable[distance <= 256 ? distance - 1 : 256 + ((distance - 1) >> 7)];
}

// The codes that deflate fixes for blocks without codes of their own.
const HuffmanCode& FixedLiteralCode() {
    static const HuffmanCode code = [] {
        std::vector<std::uint8_t> lengths(288);
        for (int symbol = 0; symbol < 288; ++symbol) lengths[symbol] = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
        return CanonicalCode(std::move(lengths));
    }();
    return code;
}
const HuffmanCode& FixedDistanceCode() {
    static const HuffmanCode code = CanonicalCode(std::vector<std::uint8_t>(kDistanceSymbols, 5));
    return code;
}

// The code lengths of a block's two codes as deflate stores them: runs of a
// length as repeats (16), runs of zeros as 17 and 18, each with its extra bits.
struct LengthSymbol {
    std::uint8_t symbol;
    std::uint8_t extra;
};
std::vector<LengthSymbol> RunsOfLengths(const std::vector<std::uint8_t>& lengths) {
    std::vector<LengthSymbol> runs;
    for (std::size_t i = 0; i < lengths.size();) {
        const std::uint8_t length = lengths[i];
        std::size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == length) ++run;
        i += run;
        if (length == 0) {
            for (; run >= 11; run -= std::min<std::size_t>(run, 138)) runs.push_back({18, static_cast<std::uint8_t>(std::min<std::size_t>(run, 138) - 11)});
            if (run >= 3) runs.push_back({17, static_cast<std::uint8_t>(run - 3)}), run = 0;
        } else {
            runs.push_back({length, 0});
            for (--run; run >= 3; run -= std::min<std::size_t>(run, 6)) runs.push_back({16, static_cast<std::uint8_t>(std::min<std::size_t>(run, 6) - 3)});
        }
        for (; run > 0; --run) runs.push_back({length, 0});
    }
    return runs;
}
constexpr std::array<int, 19> kExtraOfLengthSymbol = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
// The order in which a block's header lists the lengths of the length code.
constexpr std::array<int, 19> kLengthCodeOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

std::uint32_t Hash(const std::uint8_t* bytes, int bits) {
    const std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16;
    return (value * 0x9E3779B1u) >> (32 - bits);
}

}  // namespace

DeflateWriter::DeflateWriter(std::string& out, std::uint64_t size)
    : out_(out),
      window_(std::bit_ceil(static_cast<std::size_t>(std::clamp<std::uint64_t>(size, 4 * kLongestCopy, kLongestDistance)))),
      hashBits_(std::bit_width(window_) - 1),
      head_(std::size_t{1} << hashBits_),
      prev_(window_) {
    history_.reserve(2 * window_);
}

void DeflateWriter::Put(std::uint32_t bits, int length) {
    bitBuffer_ |= static_cast<std::uint64_t>(bits) << bitCount_;
    bitCount_ += length;
    for (; bitCount_ >= 8; bitCount_ -= 8, bitBuffer_ >>= 8) out_.push_back(static_cast<char>(bitBuffer_));
}

void DeflateWriter::MakeRoom(std::size_t n) {
    if (history_.size() + n <= 2 * window_) return;
    const std::size_t dropped = history_.size() - std::min(history_.size(), window_);
    history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(dropped));
    base_ += dropped;
    parsed_ -= dropped;
}

void DeflateWriter::Insert(std::size_t at) {
    const std::uint32_t hash = Hash(history_.data() + at, hashBits_);
    const auto position = static_cast<std::uint32_t>(base_ + at);
    prev_[position & (window_ - 1)] = head_[hash];
    head_[hash] = position;
}

DeflateWriter::Match DeflateWriter::Longest(std::size_t at, std::size_t end) const {
    Match best;
    const std::size_t most = std::min(kLongestCopy, end - at);
    if (most < kShortestCopy) return best;
    const std::uint8_t* here = history_.data() + at;
    const std::size_t reach = std::min(at, kLongestDistance);
    const auto lengthAt = [&](std::size_t distance) {
        const std::uint8_t* there = here - distance;
        if (best.length > 0 && there[best.length] != here[best.length]) return std::size_t{0};
        std::size_t length = 0;
        while (length < most && there[length] == here[length]) ++length;
        return length;
    };
    const auto consider = [&](std::size_t distance) {
        const std::size_t length = lengthAt(distance);
        if (length > best.length) best = {length, distance};
    };
    if (reach >= 1) consider(1);
    const auto position = static_cast<std::uint32_t>(base_ + at);
    std::uint32_t candidate = head_[Hash(here, hashBits_)];
    std::uint32_t lastDistance = 0;
    for (int tries = 0; tries < kTries && best.length < most; ++tries) {
        const std::uint32_t distance = position - candidate;
        if (distance <= lastDistance || distance > reach) break;
        if (distance > 1) consider(distance);
        lastDistance = distance;
        candidate = prev_[candidate & (window_ - 1)];
    }
    if (best.length < kShortestWorthCopying) best = {};
    return best;
}

void DeflateWriter::Literal(std::uint8_t byte) {
    symbols_.push_back({byte, 0});
    if (symbols_.size() >= kBlockSymbols) WriteBlock(false);
}

void DeflateWriter::CopySymbol(std::size_t length, std::size_t distance) {
    symbols_.push_back({static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(distance)});
    if (symbols_.size() >= kBlockSymbols) WriteBlock(false);
}

void DeflateWriter::Bytes(std::span<const std::uint8_t> bytes) {
    // A piece at a time, so that what it copies from stays in the history;
    // the last bytes wait for the next, which a copy may run on into.
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t n = std::min(bytes.size() - done, window_);
        MakeRoom(n);
        history_.insert(history_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(done),
                        bytes.begin() + static_cast<std::ptrdiff_t>(done + n));
        done += n;
        Parse(history_.size() - std::min(history_.size(), kLongestCopy));
    }
}

void DeflateWriter::Parse(std::size_t stop) {
    const std::size_t end = history_.size();
    const auto remember = [&](std::size_t from, std::size_t to) {
        if (to - from > kRememberedCopy) return;
        for (std::size_t at = from; at < to && at + kShortestCopy <= end; ++at) Insert(at);
    };
    // Lazy matching, as zlib's best levels do: a copy found at one byte
    // waits while the next byte starts a longer one.
    Match pending;
    std::size_t at = parsed_;
    for (; at < stop; ++at) {
        const Match match = pending.length >= kGoodEnough ? Match{} : Longest(at, end);
        if (at + kShortestCopy <= end) Insert(at);
        if (pending.length > 0) {
            if (match.length > pending.length) {
                Literal(history_[at - 1]);
                pending = match;
                continue;
            }
            CopySymbol(pending.length, pending.distance);
            const std::size_t after = at - 1 + pending.length;
            remember(at + 1, after);
            at = after - 1;
            pending = {};
            continue;
        }
        if (match.length > 0) {
            pending = match;
        } else {
            Literal(history_[at]);
        }
    }
    if (pending.length > 0) {
        CopySymbol(pending.length, pending.distance);
        const std::size_t after = at - 1 + pending.length;
        remember(at, after);
        at = after;
    }
    parsed_ = std::max(parsed_, at);
}

void DeflateWriter::Copy(std::size_t distance, std::uint64_t length) {
    Parse(history_.size());
    for (std::uint64_t left = length; left > 0;) {
        if (left < kShortestCopy) {
            const std::size_t from = history_.size() - distance;
            // Bytes that the history does not hold any more are whole periods back.
            for (std::uint64_t i = 0; i < left; ++i) Literal(history_[from + (length - left + i) % distance]);
            break;
        }
        const std::uint64_t n = left > kLongestCopy && left - kLongestCopy < kShortestCopy ? left - kShortestCopy
                                                                                          : std::min<std::uint64_t>(left, kLongestCopy);
        CopySymbol(static_cast<std::size_t>(n), distance);
        left -= n;
    }
    // Into the history: only the last window of the copy can be reached again.
    const std::uint64_t skipped = length > window_ ? length - window_ : 0;
    const auto n = static_cast<std::size_t>(length - skipped);
    MakeRoom(n);
    const std::size_t start = history_.size();
    std::size_t from = start - distance + static_cast<std::size_t>(skipped % distance);
    history_.resize(start + n);
    for (std::size_t i = 0; i < n;) {
        // As much as the period before the copy holds from `from` on.
        const std::size_t chunk = std::min(n - i, start - from);
        std::memcpy(history_.data() + start + i, history_.data() + from, chunk);
        i += chunk;
        from += chunk;
        if (from == start) from -= distance;
    }
    parsed_ = history_.size();
}

void DeflateWriter::Remember(std::size_t n) {
    const std::size_t end = history_.size();
    for (std::size_t at = end - std::min(n, end); at + kShortestCopy <= end; ++at) Insert(at);
}

void DeflateWriter::WriteBlock(bool last) {
    std::vector<std::uint32_t> literalCounts(kLiteralLengthSymbols, 0);
    std::vector<std::uint32_t> distanceCounts(kDistanceSymbols, 0);
    for (const Symbol& symbol : symbols_) {
        if (symbol.distance == 0) {
            ++literalCounts[symbol.value];
        } else {
            ++literalCounts[kEndOfBlock + 1 + kLengthCodeOf[symbol.value]];
            ++distanceCounts[DistanceCodeOf(symbol.distance)];
        }
    }
    ++literalCounts[kEndOfBlock];
    const HuffmanCode literals = OptimalCode(literalCounts, kLongestCode);
    const HuffmanCode distances = OptimalCode(distanceCounts, kLongestCode);

    // The header of a block with codes of its own: how many of each code's
    // lengths it lists, and those lengths, compressed by a third code.
    int literalsListed = kLiteralLengthSymbols;
    while (literalsListed > kEndOfBlock + 1 && literals.lengths[literalsListed - 1] == 0) --literalsListed;
    int distancesListed = kDistanceSymbols;
    while (distancesListed > 1 && distances.lengths[distancesListed - 1] == 0) --distancesListed;
    std::vector<std::uint8_t> listed(literals.lengths.begin(), literals.lengths.begin() + literalsListed);
    listed.insert(listed.end(), distances.lengths.begin(), distances.lengths.begin() + distancesListed);
    const std::vector<LengthSymbol> runs = RunsOfLengths(listed);
    std::vector<std::uint32_t> runCounts(kExtraOfLengthSymbol.size(), 0);
    for (const LengthSymbol& run : runs) ++runCounts[run.symbol];
    const HuffmanCode lengthCode = OptimalCode(runCounts, kLongestLengthCode);
    int lengthsListed = static_cast<int>(kLengthCodeOrder.size());
    while (lengthsListed > 4 && lengthCode.lengths[kLengthCodeOrder[lengthsListed - 1]] == 0) --lengthsListed;

    const auto bitsOf = [&](const HuffmanCode& literal, const HuffmanCode& distance) {
        std::uint64_t bits = literal.lengths[kEndOfBlock];
        for (int symbol = 0; symbol < kLiteralLengthSymbols; ++symbol) {
            const int code = symbol - kEndOfBlock - 1;
            bits += std::uint64_t{literalCounts[symbol]} * (literal.lengths[symbol] + (code >= 0 ? kLengthExtra[code] : 0));
        }
        for (int symbol = 0; symbol < kDistanceSymbols; ++symbol) {
            bits += std::uint64_t{distanceCounts[symbol]} * (distance.lengths[symbol] + kDistanceExtra[symbol]);
        }
        return bits;
    };
    std::uint64_t ownBits = 5 + 5 + 4 + 3 * static_cast<std::uint64_t>(lengthsListed) + bitsOf(literals, distances);
    for (const LengthSymbol& run : runs) ownBits += lengthCode.lengths[run.symbol] + kExtraOfLengthSymbol[run.symbol];

    const bool fixed = bitsOf(FixedLiteralCode(), FixedDistanceCode()) <= ownBits;
    Put(last ? 1 : 0, 1);
    Put(fixed ? 0b01 : 0b10, 2);
    const HuffmanCode& literal = fixed ? FixedLiteralCode() : literals;
    const HuffmanCode& distance = fixed ? FixedDistanceCode() : distances;
    if (!fixed) {
        Put(static_cast<std::uint32_t>(literalsListed - 257), 5);
        Put(static_cast<std::uint32_t>(distancesListed - 1), 5);
        Put(static_cast<std::uint32_t>(lengthsListed - 4), 4);
        for (int i = 0; i < lengthsListed; ++i) Put(lengthCode.lengths[kLengthCodeOrder[i]], 3);
        for (const LengthSymbol& run : runs) {
            Put(lengthCode.codes[run.symbol], lengthCode.lengths[run.symbol]);
            Put(run.extra, kExtraOfLengthSymbol[run.symbol]);
        }
    }
    for (const Symbol& symbol : symbols_) {
        if (symbol.distance == 0) {
            Put(literal.codes[symbol.value], literal.lengths[symbol.value]);
            continue;
        }
        const int lengthCodeIndex = kLengthCodeOf[symbol.value];
        const int lengthSymbol = kEndOfBlock + 1 + lengthCodeIndex;
        Put(literal.codes[lengthSymbol], literal.lengths[lengthSymbol]);
        Put(symbol.value - kLengthBase[lengthCodeIndex], kLengthExtra[lengthCodeIndex]);
        const int distanceSymbol = DistanceCodeOf(symbol.distance);
        Put(distance.codes[distanceSymbol], distance.lengths[distanceSymbol]);
        Put(symbol.distance - kDistanceBase[distanceSymbol], kDistanceExtra[distanceSymbol]);
    }
    Put(literal.codes[kEndOfBlock], literal.lengths[kEndOfBlock]);
    symbols_.clear();
}

void DeflateWriter::Finish() {
    Parse(history_.size());
    WriteBlock(true);
    if (bitCount_ > 0) out_.push_back(static_cast<char>(bitBuffer_));
    bitBuffer_ = 0;
    bitCount_ = 0;
}

}  // namespace tallyline
