#include "platform/files/Deflate_p.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>

#include "platform/files/HuffmanCode_p.h"

namespace tallyline {
namespace {

constexpr std::size_t kShortestCopy = 3;
constexpr std::size_t kLongestCopy = 258;
constexpr std::size_t kLongestDistance = 32768;
// Symbols a block holds at most: its codes fit what it holds, and a block's
// header is small beside this many.
constexpr std::size_t kBlockSymbols = 1 << 16;
// Bytes a region or a block parses at most, which bounds what is kept of them.
constexpr std::size_t kRegionBytes = 1 << 15;
constexpr std::size_t kBlockBytes = 1 << 17;
// A copy at least this long is taken as found: the places it covers are
// not searched, which keeps long runs and repeated rows cheap to parse.
constexpr std::size_t kNiceCopy = 258;
// How many times a block is parsed again with the codes of its last parse.
constexpr int kReparses = 2;
constexpr std::uint32_t kUnreached = UINT32_MAX;
// How many of a repeat's last periods are indexed for later copies.
constexpr std::size_t kIndexedPeriods = 4;
// A run at least this long is parsed at its ends alone.
constexpr std::size_t kLongRun = 8;

// How many of the bytes from the first on are the first.
std::size_t RunLength(const std::uint8_t* bytes, std::size_t most) {
    std::size_t n = 1;
    while (n < most && bytes[n] == bytes[0]) ++n;
    return n;
}

constexpr int kLiteralLengthSymbols = 286;
constexpr int kDistanceSymbols = 30;
constexpr int kEndOfBlock = 256;
constexpr int kLongestCode = 15;
constexpr int kLongestLengthCode = 7;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                         33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

constexpr auto kLengthCodeOf = [] {
    std::array<std::uint8_t, kLongestCopy + 1> table{};
    for (std::size_t code = 0; code < kLengthBase.size(); ++code) {
        for (std::size_t length = kLengthBase[code]; length < kLengthBase[code] + (1u << kLengthExtra[code]);
             ++length) {
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
        for (int symbol = 0; symbol < 288; ++symbol)
            lengths[symbol] = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
        return CanonicalCode(std::move(lengths));
    }();
    return code;
}
const HuffmanCode& FixedDistanceCode() {
    static const HuffmanCode code = CanonicalCode(std::vector<std::uint8_t>(kDistanceSymbols, 5));
    return code;
}

// The extra bits of the symbols that store code lengths.
constexpr std::array<int, 19> kExtraOfLengthSymbol = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
// The order in which a block's header lists the lengths of the length code.
constexpr std::array<int, 19> kLengthCodeOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

}  // namespace

void DeflateWriter::RunsOfLengths(std::span<const LengthRun> lengths, unsigned ways,
                                  const std::function<void(LengthSymbol, std::size_t)>& emit) {
    const bool repeats = (ways & 1) != 0, shortZeros = (ways & 2) != 0, longZeros = (ways & 4) != 0;
    for (const LengthRun& same : lengths) {
        const std::uint8_t length = same.length;
        std::size_t run = same.count;
        if (length == 0) {
            for (; longZeros && run >= 11; run -= std::min<std::size_t>(run, 138)) {
                emit({18, static_cast<std::uint8_t>(std::min<std::size_t>(run, 138) - 11)}, 1);
            }
            for (; shortZeros && run >= 3; run -= std::min<std::size_t>(run, 10)) {
                emit({17, static_cast<std::uint8_t>(std::min<std::size_t>(run, 10) - 3)}, 1);
            }
        }
        if (repeats && run >= 4) {
            emit({length, 0}, 1);
            for (--run; run >= 3; run -= std::min<std::size_t>(run, 6)) {
                emit({16, static_cast<std::uint8_t>(std::min<std::size_t>(run, 6) - 3)}, 1);
            }
        }
        if (run > 0) emit({length, 0}, run);
    }
}

DeflateWriter::DeflateWriter(std::string& out, std::size_t searched, std::size_t rowLength)
    : out_(out),
      finder_(searched, rowLength),
      costs_(CostsOf(FixedLiteralCode().lengths, FixedDistanceCode().lengths)) {}

// A symbol without a code costs more than the longest one, as a code made for it would.
DeflateWriter::Costs DeflateWriter::CostsOf(std::span<const std::uint8_t> literals,
                                            std::span<const std::uint8_t> distances) {
    const auto missing = [](std::span<const std::uint8_t> lengths) {
        return std::uint32_t{*std::max_element(lengths.begin(), lengths.end())} + 2;
    };
    const std::uint32_t literalMissing = missing(literals);
    const std::uint32_t distanceMissing = missing(distances);
    const auto bits = [](std::span<const std::uint8_t> lengths, std::size_t symbol, std::uint32_t missing) {
        return lengths[symbol] > 0 ? std::uint32_t{lengths[symbol]} : missing;
    };
    Costs costs{};
    for (std::size_t byte = 0; byte < costs.literal.size(); ++byte)
        costs.literal[byte] = bits(literals, byte, literalMissing);
    for (std::size_t length = kShortestCopy; length <= kLongestCopy; ++length) {
        const int code = kLengthCodeOf[length];
        costs.length[length] = bits(literals, kEndOfBlock + 1 + code, literalMissing) + kLengthExtra[code];
    }
    for (std::size_t code = 0; code < kDistanceSymbols; ++code) {
        costs.distance[code] = bits(distances, code, distanceMissing) + kDistanceExtra[code];
    }
    return costs;
}

void DeflateWriter::Put(std::uint32_t bits, int length) {
    bitBuffer_ |= static_cast<std::uint64_t>(bits) << bitCount_;
    bitCount_ += length;
    if (bitCount_ < 32) return;
    const char bytes[] = {static_cast<char>(bitBuffer_), static_cast<char>(bitBuffer_ >> 8),
                          static_cast<char>(bitBuffer_ >> 16), static_cast<char>(bitBuffer_ >> 24)};
    out_.append(bytes, sizeof bytes);
    bitBuffer_ >>= 32;
    bitCount_ -= 32;
}

void DeflateWriter::Push(Symbol symbol) {
    symbols_.push_back(symbol);
    if (symbols_.size() >= kBlockSymbols) FlushBlock(false);
}

void DeflateWriter::Bytes(std::span<const std::uint8_t> bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        if (regionSize_ == 0) regionStart_ = finder_.Base() + finder_.Size();
        const std::size_t n = std::min(bytes.size() - done, kRegionBytes - regionSize_);
        finder_.Append(bytes.data() + done, n, static_cast<std::size_t>(regionStart_ - finder_.Base()));
        regionSize_ += n;
        done += n;
        if (regionSize_ == kRegionBytes) CloseRegion();
    }
}

// The node at `at` (an index of the finder's history) and its copies, whose
// ends become nodes too.
void DeflateWriter::AddNode(std::size_t at, std::size_t end, std::span<const std::uint16_t> also) {
    const bool fromByteBack = at > 0 && finder_.Data()[at - 1] == finder_.Data()[at];
    const std::size_t first = matches_.size();
    finder_.Find(at, end, fromByteBack, also, matches_);
    nodes_.push_back({static_cast<std::uint32_t>(at - regionAt_), static_cast<std::uint32_t>(matches_.size())});
    for (std::size_t i = first; i < matches_.size(); ++i) wanted_[at - regionAt_ + matches_[i].length] = 1;
}

// The first place from `from` up to `to` (indexes of the finder's history)
// where a copy ends, or `to`.
std::size_t DeflateWriter::NextWanted(std::size_t from, std::size_t to) const {
    if (from >= to) return to;
    const void* found = std::memchr(wanted_.data() + (from - regionAt_), 1, to - from);
    return found == nullptr
               ? to
               : regionAt_ + static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - wanted_.data());
}

// The nodes of a long run: its first two places and its last two, where
// copies found end in it, and where the copies of its end reach back to:
// bytes that follow a run are most often copied from where a run like it
// ended, and such a copy starts as far back in the run as that one went.
void DeflateWriter::AddRunNodes(std::size_t at, std::size_t run, std::size_t end) {
    const std::size_t last = at + run - 2;
    runEndMatches_.clear();
    finder_.Find(last, end, true, {}, runEndMatches_);
    runDistances_.clear();
    runStarts_.clear();
    for (const Match& match : runEndMatches_) {
        if (match.distance == 1) continue;
        runStarts_.push_back(last - finder_.Behind(last, match.distance, last - at));
        runDistances_.push_back(match.distance);
    }
    const std::span<const std::uint16_t> also(runDistances_);
    std::sort(runStarts_.begin(), runStarts_.end());
    AddNode(at, end, also);
    AddNode(at + 1, end, also);
    std::size_t nextStart = 0;
    for (std::size_t from = at + 2;;) {
        while (nextStart < runStarts_.size() && runStarts_[nextStart] < from) ++nextStart;
        const std::size_t place =
            std::min(NextWanted(from, last), nextStart < runStarts_.size() ? runStarts_[nextStart] : last);
        if (place >= last) break;
        AddNode(place, end, also);
        from = place + 1;
    }
    for (std::size_t tail = last; tail < at + run; ++tail) {
        AddNode(tail, end, also);
        if (tail + kShortestCopy <= end && !finder_.StartsRun(tail)) finder_.Insert(tail);
    }
}

void DeflateWriter::CloseRegion() {
    if (regionSize_ == 0) return;
    regionAt_ = static_cast<std::size_t>(regionStart_ - finder_.Base());
    const std::size_t end = regionAt_ + regionSize_;
    const std::uint8_t* bytes = finder_.Data();
    Region region{block_.size(), regionSize_, nodes_.size(), 0, symbols_.size(), 0};
    block_.insert(block_.end(), bytes + regionAt_, bytes + end);
    wanted_.assign(regionSize_ + 1, 0);
    for (std::size_t at = regionAt_; at < end;) {
        const std::size_t run = RunLength(bytes + at, end - at);
        if (run >= kLongRun) {
            AddRunNodes(at, run, end);
            at += run;
            continue;
        }
        const std::size_t matchesAt = matches_.size();
        AddNode(at, end);
        if (at + kShortestCopy <= end) finder_.Insert(at);
        const std::size_t longest = matches_.size() > matchesAt ? matches_.back().length : 0;
        // A long copy is taken as found: the places it covers are not
        // nodes but where other copies end.
        const std::size_t next = longest >= kNiceCopy ? NextWanted(at + 1, at + longest) : at + 1;
        for (++at; at < next; ++at) {
            if (at + kShortestCopy <= end && !finder_.StartsRun(at)) finder_.Insert(at);
        }
    }
    nodes_.push_back({static_cast<std::uint32_t>(regionSize_), static_cast<std::uint32_t>(matches_.size())});
    region.nodeCount = nodes_.size() - region.nodesAt;
    // Each copy's end as the node there.
    nodeAt_.assign(regionSize_ + 1, kUnreached);
    for (std::size_t node = 0; node < region.nodeCount; ++node)
        nodeAt_[nodes_[region.nodesAt + node].at] = static_cast<std::uint32_t>(node);
    std::uint32_t match = MatchesBegin(region);
    matchEnds_.resize(matches_.size());
    for (std::size_t node = region.nodesAt; node + 1 < nodes_.size(); ++node) {
        for (; match < nodes_[node].matchesEnd; ++match)
            matchEnds_[match] = nodeAt_[nodes_[node].at + matches_[match].length];
    }
    regionSize_ = 0;
    Parse(region, costs_, symbols_);
    region.symbolsEnd = symbols_.size();
    regions_.push_back(region);
    if (symbols_.size() >= kBlockSymbols || block_.size() >= kBlockBytes) FlushBlock(false);
}

void DeflateWriter::Parse(const Region& region, const Costs& costs, std::vector<Symbol>& out) {
    const std::uint8_t* bytes = block_.data() + region.bytesAt;
    const Node* nodes = nodes_.data() + region.nodesAt;
    const std::size_t count = region.nodeCount;
    steps_.assign(count, {kUnreached, 0, {0, 0}});
    steps_[0].cost = 0;
    std::uint32_t match = MatchesBegin(region);
    for (std::size_t node = 0; node + 1 < count; ++node) {
        const std::uint32_t here = steps_[node].cost;
        const std::uint32_t at = nodes[node].at;
        const auto reach = [&](std::size_t to, std::uint32_t cost, Match symbol) {
            if (cost < steps_[to].cost) steps_[to] = {cost, static_cast<std::uint32_t>(node), symbol};
        };
        if (here != kUnreached) {
            if (nodes[node + 1].at == at + 1) reach(node + 1, here + costs.literal[bytes[at]], {1, 0});
            // A copy is taken whole: each shorter one is a copy of its own.
            for (std::uint32_t i = match; i < nodes[node].matchesEnd; ++i) {
                if (matchEnds_[i] >= count) continue;
                const Match copy = matches_[i];
                reach(matchEnds_[i], here + costs.distance[DistanceCodeOf(copy.distance)] + costs.length[copy.length],
                      copy);
            }
        }
        match = nodes[node].matchesEnd;
    }
    // The way back from the end, then its symbols in order.
    const std::size_t first = out.size();
    for (std::size_t node = count - 1; node > 0; node = steps_[node].from) {
        const Step& step = steps_[node];
        out.push_back(step.symbol.distance == 0 ? Symbol{bytes[nodes[step.from].at], 0}
                                                : Symbol{step.symbol.length, step.symbol.distance});
    }
    std::reverse(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
}

void DeflateWriter::Repeat(std::span<const std::uint8_t> period, std::uint64_t count) {
    // A short repeat is parsed with the bytes around it. A long one's start
    // is parsed with the bytes before it, up to its first copies, and from
    // where the last of those began it is copies, made here, up to a piece
    // short of a longest copy that is parsed with the bytes after it: so
    // copies run on across its ends as they would in one parse.
    const std::uint64_t length = count * period.size();
    const std::uint64_t head = period.size() + 2 * kLongestCopy;
    const std::uint64_t start = finder_.Base() + finder_.Size();
    if (length < head + 3 * kLongestCopy) {
        BytesOf(period, 0, length);
        return;
    }
    BytesOf(period, 0, head);
    CloseRegion();
    const std::uint64_t resume = GiveBackLastSymbol(start);
    const std::uint64_t rest = start + length - resume;
    const std::uint64_t copies = rest - (1 + (rest - 1) % kLongestCopy);
    RepeatAsCopies(period, resume - start, copies);
    const std::uint64_t held = start + head - resume;
    finder_.AppendRepeat(period, head, copies - held);
    // The last periods' places, those across their ends too.
    finder_.Index(finder_.Size() - std::min<std::uint64_t>(finder_.Size(), kIndexedPeriods * period.size() + 2));
    BytesOf(period, resume - start + copies, rest - copies);
}

void DeflateWriter::BytesOf(std::span<const std::uint8_t> period, std::uint64_t from, std::uint64_t n) {
    for (std::uint64_t done = 0; done < n;) {
        const auto at = static_cast<std::size_t>((from + done) % period.size());
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, period.size() - at));
        Bytes(period.subspan(at, piece));
        done += piece;
    }
}

std::uint64_t DeflateWriter::GiveBackLastSymbol(std::uint64_t from) {
    const std::uint64_t end = finder_.Base() + finder_.Size();
    if (regions_.empty() || symbols_.empty()) return end;
    Region& region = regions_.back();
    const Symbol last = symbols_.back();
    const std::size_t length = last.distance == 0 ? 1 : last.value;
    const std::uint64_t cut = end - length;
    if (cut < from || length >= region.size) return end;
    symbols_.pop_back();
    region.symbolsEnd = symbols_.size();
    region.size -= length;
    block_.resize(region.bytesAt + region.size);
    // The node where the symbol started ends the region now.
    while (nodes_.back().at > region.size) nodes_.pop_back();
    const std::size_t kept =
        nodes_.size() - 1 > region.nodesAt ? nodes_[nodes_.size() - 2].matchesEnd : MatchesBegin(region);
    matches_.resize(kept);
    matchEnds_.resize(kept);
    nodes_.back().matchesEnd = static_cast<std::uint32_t>(kept);
    region.nodeCount = nodes_.size() - region.nodesAt;
    return cut;
}

std::uint32_t DeflateWriter::MatchesBegin(const Region& region) const {
    return region.nodesAt == 0 ? 0 : nodes_[region.nodesAt - 1].matchesEnd;
}

void DeflateWriter::RepeatAsCopies(std::span<const std::uint8_t> period, std::uint64_t from, std::uint64_t length) {
    const std::size_t size = period.size();
    // How far from each place of the period on every byte is the one before
    // it, so that a copy from one byte back, which needs no extra bits for
    // its distance, can stand for it.
    std::vector<std::uint16_t> runFrom(size + 1);
    runFrom[size] = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t at = size; at-- > 0;) {
            const bool same = period[at] == period[at == 0 ? size - 1 : at - 1];
            runFrom[at] =
                same ? static_cast<std::uint16_t>(std::min<std::size_t>(kLongestCopy, 1 + runFrom[at + 1])) : 0;
        }
        runFrom[size] = runFrom[0];
    }
    for (std::uint64_t at = 0; at < length;) {
        const auto phase = static_cast<std::size_t>((from + at) % size);
        const std::uint64_t left = length - at;
        if (size > kLongestDistance) {
            // Too far back to copy a period: its runs are copies, the rest bytes.
            const std::size_t run = static_cast<std::size_t>(std::min<std::uint64_t>(runFrom[phase], left));
            if (run < kShortestCopy) {
                Push({period[phase], 0});
                ++at;
                continue;
            }
            Push({static_cast<std::uint16_t>(run), 1});
            at += run;
            continue;
        }
        if (left < kShortestCopy) {
            Push({period[phase], 0});
            ++at;
            continue;
        }
        const auto n = static_cast<std::uint16_t>(left > kLongestCopy && left - kLongestCopy < kShortestCopy
                                                      ? left - kShortestCopy
                                                      : std::min<std::uint64_t>(left, kLongestCopy));
        Push({n, static_cast<std::uint16_t>(runFrom[phase] >= n ? 1 : size)});
        at += n;
    }
}

DeflateWriter::Counts DeflateWriter::CountSymbols() const {
    Counts counts;
    for (const Symbol& symbol : symbols_) {
        if (symbol.distance == 0) {
            ++counts.literal[symbol.value];
        } else {
            ++counts.literal[kEndOfBlock + 1 + kLengthCodeOf[symbol.value]];
            ++counts.distance[DistanceCodeOf(symbol.distance)];
        }
    }
    ++counts.literal[kEndOfBlock];
    return counts;
}

void DeflateWriter::FlushBlock(bool last) {
    // Each parse's codes make the next one's costs, and the shortest block of
    // them all is written: a parse for the codes of the one before can come
    // out longer with its own.
    // The parses are weighed with their headers stored the usual way, the
    // chosen one written the shortest way.
    Counts counts = CountSymbols();
    Plan best = PlanBlock(counts, false);
    Counts bestCounts = counts;
    std::vector<Symbol> bestSymbols = symbols_;
    for (int pass = 0; pass < kReparses && !regions_.empty(); ++pass) {
        costs_ = CostsOf(OptimalLengths(counts.literal, kLongestCode), OptimalLengths(counts.distance, kLongestCode));
        std::vector<Symbol> parsed;
        parsed.reserve(symbols_.size());
        std::size_t copied = 0;
        for (Region& region : regions_) {
            parsed.insert(parsed.end(), symbols_.begin() + static_cast<std::ptrdiff_t>(copied),
                          symbols_.begin() + static_cast<std::ptrdiff_t>(region.symbolsBegin));
            copied = region.symbolsEnd;
            region.symbolsBegin = parsed.size();
            Parse(region, costs_, parsed);
            region.symbolsEnd = parsed.size();
        }
        parsed.insert(parsed.end(), symbols_.begin() + static_cast<std::ptrdiff_t>(copied), symbols_.end());
        symbols_.swap(parsed);
        counts = CountSymbols();
        Plan plan = PlanBlock(counts, false);
        if (plan.bits < best.bits) {
            best = std::move(plan);
            bestCounts = counts;
            bestSymbols = symbols_;
        }
    }
    symbols_.swap(bestSymbols);
    WriteBlock(PlanBlock(bestCounts, true), last);
    symbols_.clear();
    regions_.clear();
    block_.clear();
    matches_.clear();
    matchEnds_.clear();
    nodes_.clear();
}

DeflateWriter::Plan DeflateWriter::PlanBlock(const Counts& counts, bool allWays) const {
    Plan plan;
    plan.literals = OptimalCode(counts.literal, kLongestCode);
    plan.distances = OptimalCode(counts.distance, kLongestCode);
    const HuffmanCode& literals = plan.literals;
    const HuffmanCode& distances = plan.distances;

    // The header of a block with codes of its own: how many of each code's
    // lengths it lists, and those lengths, compressed by a third code.
    plan.literalsListed = kLiteralLengthSymbols;
    while (plan.literalsListed > kEndOfBlock + 1 && literals.lengths[plan.literalsListed - 1] == 0)
        --plan.literalsListed;
    plan.distancesListed = kDistanceSymbols;
    while (plan.distancesListed > 1 && distances.lengths[plan.distancesListed - 1] == 0) --plan.distancesListed;
    std::vector<std::uint8_t> listed(literals.lengths.begin(), literals.lengths.begin() + plan.literalsListed);
    listed.insert(listed.end(), distances.lengths.begin(), distances.lengths.begin() + plan.distancesListed);
    for (std::size_t i = 0; i < listed.size();) {
        std::size_t run = 1;
        while (i + run < listed.size() && listed[i + run] == listed[i]) ++run;
        plan.listed.push_back({listed[i], static_cast<std::uint16_t>(run)});
        i += run;
    }
    // Of the eight ways to store them, the shortest with its own code.
    std::uint64_t headerBits = UINT64_MAX;
    unsigned bestWays = 0;
    for (unsigned ways = allWays ? 0 : 7; ways < 8; ++ways) {
        std::array<std::uint32_t, kExtraOfLengthSymbol.size()> runCounts{};
        RunsOfLengths(plan.listed, ways, [&](LengthSymbol run, std::size_t times) {
            runCounts[run.symbol] += static_cast<std::uint32_t>(times);
        });
        const std::vector<std::uint8_t> code = OptimalLengths(runCounts, kLongestLengthCode);
        int listedLengths = static_cast<int>(kLengthCodeOrder.size());
        while (listedLengths > 4 && code[kLengthCodeOrder[listedLengths - 1]] == 0) --listedLengths;
        std::uint64_t bits = 3 * static_cast<std::uint64_t>(listedLengths);
        for (std::size_t symbol = 0; symbol < runCounts.size(); ++symbol) {
            bits += std::uint64_t{runCounts[symbol]} * (code[symbol] + kExtraOfLengthSymbol[symbol]);
        }
        if (bits < headerBits) {
            headerBits = bits;
            bestWays = ways;
            plan.lengthsListed = listedLengths;
        }
    }
    plan.ways = bestWays;

    const auto bitsOf = [&](const HuffmanCode& literal, const HuffmanCode& distance) {
        std::uint64_t bits = 0;
        for (int symbol = 0; symbol < kLiteralLengthSymbols; ++symbol) {
            const int code = symbol - kEndOfBlock - 1;
            bits += std::uint64_t{counts.literal[symbol]} *
                    (literal.lengths[symbol] + (code >= 0 ? kLengthExtra[code] : 0));
        }
        for (int symbol = 0; symbol < kDistanceSymbols; ++symbol) {
            bits += std::uint64_t{counts.distance[symbol]} * (distance.lengths[symbol] + kDistanceExtra[symbol]);
        }
        return bits;
    };
    const std::uint64_t ownBits = 5 + 5 + 4 + headerBits + bitsOf(literals, distances);

    const std::uint64_t fixedBits = bitsOf(FixedLiteralCode(), FixedDistanceCode());
    plan.fixed = fixedBits <= ownBits;
    plan.bits = 3 + std::min(fixedBits, ownBits);
    return plan;
}

void DeflateWriter::WriteBlock(const Plan& plan, bool last) {
    const bool fixed = plan.fixed;
    Put(last ? 1 : 0, 1);
    Put(fixed ? 0b01 : 0b10, 2);
    const HuffmanCode& literal = fixed ? FixedLiteralCode() : plan.literals;
    const HuffmanCode& distance = fixed ? FixedDistanceCode() : plan.distances;
    if (!fixed) {
        Put(static_cast<std::uint32_t>(plan.literalsListed - 257), 5);
        Put(static_cast<std::uint32_t>(plan.distancesListed - 1), 5);
        Put(static_cast<std::uint32_t>(plan.lengthsListed - 4), 4);
        std::vector<LengthSymbol> runs;
        std::array<std::uint32_t, kExtraOfLengthSymbol.size()> runCounts{};
        RunsOfLengths(plan.listed, plan.ways, [&](LengthSymbol run, std::size_t times) {
            runs.insert(runs.end(), times, run);
            runCounts[run.symbol] += static_cast<std::uint32_t>(times);
        });
        const HuffmanCode lengthCode = OptimalCode(runCounts, kLongestLengthCode);
        for (int i = 0; i < plan.lengthsListed; ++i) Put(lengthCode.lengths[kLengthCodeOrder[i]], 3);
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
}

void DeflateWriter::Finish() {
    CloseRegion();
    FlushBlock(true);
    for (; bitCount_ > 0; bitCount_ -= std::min(bitCount_, 8), bitBuffer_ >>= 8)
        out_.push_back(static_cast<char>(bitBuffer_));
}

}  // namespace tallyline
