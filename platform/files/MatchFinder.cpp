#include "platform/files/MatchFinder_p.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tallyline {
namespace {

constexpr std::size_t kShortestCopy = 3;
constexpr std::size_t kLongestCopy = 258;
constexpr std::size_t kLongestDistance = 32768;
// How many earlier places with the same hash are tried: a picture's bytes
// that are not runs are few and mostly repeat a row or a glyph nearby.
constexpr int kTries = 16;
// The history is moved down once it holds this much: a copy's reach, a
// region being parsed and room for what comes while it is open.
constexpr std::size_t kMostHistory = 4 * kLongestDistance;

std::uint32_t Hash(const std::uint8_t* bytes, int bits) noexcept {
    const std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16;
    return (value * 0x9E3779B1u) >> (32 - bits);
}

// How many bytes from the start the two have in common, up to `most`;
// eight at a time where the machine's order lets the first difference be
// counted in bits.
std::size_t Common(const std::uint8_t* a, const std::uint8_t* b, std::size_t most) noexcept {
    std::size_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; n + sizeof(std::uint64_t) <= most; n += sizeof(std::uint64_t)) {
            std::uint64_t x, y;
            std::memcpy(&x, a + n, sizeof x);
            std::memcpy(&y, b + n, sizeof y);
            if (x != y) return n + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
        }
    }
    while (n < most && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

MatchFinder::MatchFinder(std::size_t indexed, std::size_t rowLength)
    : rowLength_(rowLength),
      hashBits_(std::bit_width(std::bit_ceil(std::clamp<std::size_t>(indexed, 512, kLongestDistance))) - 2),
      slotMask_((std::size_t{1} << (hashBits_ + 1)) - 1),
      head_(std::size_t{1} << hashBits_, 0),
      slotPosition_(std::make_unique_for_overwrite<std::uint32_t[]>(slotMask_ + 1)),
      slotBefore_(std::make_unique_for_overwrite<std::uint32_t[]>(slotMask_ + 1)) {}

void MatchFinder::Append(const std::uint8_t* bytes, std::size_t n, std::size_t keep) {
    if (history_.size() + n > kMostHistory && keep > kLongestDistance) {
        const std::size_t dropped = std::min(keep, history_.size()) - kLongestDistance;
        history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(dropped));
        base_ += dropped;
    }
    history_.insert(history_.end(), bytes, bytes + n);
}

void MatchFinder::AppendRepeat(std::span<const std::uint8_t> period, std::uint64_t from, std::uint64_t length) {
    // Only the last window can be reached again.
    const std::uint64_t skipped = length > kLongestDistance ? length - kLongestDistance : 0;
    if (skipped > 0) {
        base_ += history_.size() + skipped;
        history_.clear();
    }
    const std::size_t start = history_.size();
    const auto n = static_cast<std::size_t>(length - skipped);
    history_.resize(start + n);
    for (std::size_t i = 0; i < n;) {
        const auto at = static_cast<std::size_t>((from + skipped + i) % period.size());
        const std::size_t piece = std::min(n - i, period.size() - at);
        std::memcpy(history_.data() + start + i, period.data() + at, piece);
        i += piece;
    }
}

bool MatchFinder::StartsRun(std::size_t at) const noexcept {
    const std::uint8_t* bytes = history_.data() + at;
    return bytes[0] == bytes[1] && bytes[0] == bytes[2];
}

void MatchFinder::Insert(std::size_t at) {
    const std::uint8_t* bytes = history_.data() + at;
    const std::size_t slot = slotsUsed_++ & slotMask_;
    std::uint32_t& head = head_[Hash(bytes, hashBits_)];
    slotPosition_[slot] = static_cast<std::uint32_t>(base_ + at);
    slotBefore_[slot] = head;
    head = static_cast<std::uint32_t>(slot + 1);
}

void MatchFinder::Index(std::size_t from) {
    // Runs are passed over whole: only their last two places are indexed.
    for (std::size_t at = from; at + kShortestCopy <= history_.size();) {
        if (!StartsRun(at)) {
            Insert(at++);
            continue;
        }
        const std::uint8_t* bytes = history_.data() + at;
        const std::size_t most = history_.size() - at;
        at += Common(bytes, bytes + 1, most - 1) - 1;
    }
}

std::size_t MatchFinder::Behind(std::size_t at, std::size_t distance, std::size_t most) const noexcept {
    const std::uint8_t* here = history_.data() + at;
    most = std::min(most, at - std::min(at, distance));
    std::size_t n = 0;
    while (n < most &&
           here[-1 - static_cast<std::ptrdiff_t>(n)] == here[-1 - static_cast<std::ptrdiff_t>(n + distance)])
        ++n;
    return n;
}

std::size_t MatchFinder::Find(std::size_t at, std::size_t end, bool runs, std::span<const std::uint16_t> also,
                              std::vector<Match>& found) const {
    const std::size_t most = std::min(kLongestCopy, end - at);
    if (most < kShortestCopy) return 0;
    const std::uint8_t* here = history_.data() + at;
    const std::size_t reach = std::min(at, kLongestDistance);
    std::size_t best = kShortestCopy - 1;
    const auto consider = [&](std::size_t distance) {
        if (distance == 0 || distance > reach) return;
        const std::uint8_t* there = here - distance;
        if (there[best] != here[best]) return;
        const std::size_t length = Common(there, here, most);
        if (length <= best) return;
        best = length;
        found.push_back({static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(distance)});
    };
    if (runs) consider(1);
    const auto position = static_cast<std::uint32_t>(base_ + at);
    std::uint32_t lastDistance = 1;
    std::uint32_t slot = head_[Hash(here, hashBits_)];
    for (int tries = 0; tries < kTries && slot != 0 && best < most; ++tries) {
        const std::uint32_t distance = position - slotPosition_[slot - 1];
        if (distance <= lastDistance || distance > reach) break;
        if (distance != rowLength_) consider(distance);
        lastDistance = distance;
        slot = slotBefore_[slot - 1];
    }
    if (best < most) consider(rowLength_);
    for (const std::uint16_t distance : also) {
        if (best < most) consider(distance);
    }
    return best >= kShortestCopy ? best : 0;
}

}  // namespace tallyline
