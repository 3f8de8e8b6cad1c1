#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/files/HuffmanCode_p.h"
#include "platform/files/MatchFinder_p.h"

namespace tallyline {

// A raw deflate stream, appended to `out` as it goes, in blocks of codes
// made for their own symbols. Written here rather than taken from zlib or
// libdeflate because those must look at every byte of a picture's rows,
// where a barcode's are mostly repeats that the caller knows as such
// (Repeat) and that cost little to write. The rest (Bytes) is parsed for the
// fewest bits: copies are looked for where bytes change and where copies
// found end, and the cheapest way through them is taken with the bits that
// each symbol costs, once with the last block's codes and twice more with
// the codes of the way before.
class DeflateWriter {
public:
    // `searched`: about how many bytes Bytes will be given, which sizes the
    // tables; `rowLength`: the distance at which rows repeat, always tried.
    DeflateWriter(std::string& out, std::size_t searched, std::size_t rowLength);

    // Bytes of the stream, written as copies of earlier ones where that is shorter.
    void Bytes(std::span<const std::uint8_t> bytes);
    // `count` times again the bytes of `period`, which the stream ends with.
    void Repeat(std::span<const std::uint8_t> period, std::uint64_t count);
    // Ends the stream with its last block.
    void Finish();

private:
    struct Symbol {
        std::uint16_t value;     // a byte, or a copy's length
        std::uint16_t distance;  // 0 for a byte
    };
    // Bytes given to Bytes, parsed as one: where they are in block_, where
    // their nodes are in nodes_, where their symbols are in symbols_.
    struct Region {
        std::size_t bytesAt;
        std::size_t size;
        std::size_t nodesAt;
        std::size_t nodeCount;  // the region's end among them
        std::size_t symbolsBegin;
        std::size_t symbolsEnd;
    };
    // A place of a region where the parse may start a symbol: where the bytes
    // are not the inside of a long run or of a long copy. Its copies are
    // those in matches_ after the node before's and up to matchesEnd.
    struct Node {
        std::uint32_t at;
        std::uint32_t matchesEnd;
    };
    // The cheapest way found to a node: its cost, and its last symbol from which node.
    struct Step {
        std::uint32_t cost;
        std::uint32_t from;
        Match symbol;  // distance 0 for a byte
    };
    // What a symbol costs in bits, as the codes of a block make it.
    struct Costs {
        std::array<std::uint32_t, 256> literal;
        std::array<std::uint32_t, 259> length;   // by the copy's length
        std::array<std::uint32_t, 30> distance;  // by the distance's code, extra bits included
    };
    struct Counts {
        std::array<std::uint32_t, 286> literal{};
        std::array<std::uint32_t, 30> distance{};
    };

    // A code length as a block's header stores it, with its extra bits.
    struct LengthSymbol {
        std::uint8_t symbol;
        std::uint8_t extra;
    };
    // A run of one code length among those a block's header lists.
    struct LengthRun {
        std::uint8_t length;
        std::uint16_t count;
    };
    // A block as it will be written: its codes, its header, and its size in bits.
    struct Plan {
        HuffmanCode literals;
        HuffmanCode distances;
        int literalsListed = 0;
        int distancesListed = 0;
        std::vector<LengthRun> listed;  // the two codes' lengths as the header lists them
        unsigned ways = 0;              // which of RunsOfLengths' ways stores them
        int lengthsListed = 0;
        bool fixed = false;
        std::uint64_t bits = 0;
    };

    // The code lengths of a block's two codes as deflate stores them: runs of
    // a length as repeats of it (16), runs of zeros as 17 and 18, each with
    // its extra bits, where `ways` has the bits 1, 2 and 4 for the three.
    static void RunsOfLengths(std::span<const LengthRun> lengths, unsigned ways,
                              const std::function<void(LengthSymbol, std::size_t times)>& emit);
    // What each symbol costs with codes of these lengths.
    static Costs CostsOf(std::span<const std::uint8_t> literals, std::span<const std::uint8_t> distances);
    // Bytes of the periodic stream that `period` makes, from its place `from` on.
    void BytesOf(std::span<const std::uint8_t> period, std::uint64_t from, std::uint64_t n);
    void RepeatAsCopies(std::span<const std::uint8_t> period, std::uint64_t from, std::uint64_t length);
    // Takes the last region's last symbol back where it starts at `from` or
    // later: where the stream's parse goes on from.
    std::uint64_t GiveBackLastSymbol(std::uint64_t from);
    std::uint32_t MatchesBegin(const Region& region) const;
    void CloseRegion();
    void AddNode(std::size_t at, std::size_t end, std::span<const std::uint16_t> also = {});
    void AddRunNodes(std::size_t at, std::size_t run, std::size_t end);
    std::size_t NextWanted(std::size_t from, std::size_t to) const;
    void Parse(const Region& region, const Costs& costs, std::vector<Symbol>& out);
    void Push(Symbol symbol);
    Counts CountSymbols() const;
    void FlushBlock(bool last);
    // With `allWays`, the header stored the shortest of the eight ways, else with all three of 16, 17 and 18.
    Plan PlanBlock(const Counts& counts, bool allWays) const;
    void WriteBlock(const Plan& plan, bool last);
    void Put(std::uint32_t bits, int length);

    std::string& out_;
    std::uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    MatchFinder finder_;
    Costs costs_;                    // of the last block's codes, or the fixed ones
    std::uint64_t regionStart_ = 0;  // the stream's position of the open region
    std::size_t regionSize_ = 0;
    // The block being made: its symbols, and the regions among them with
    // their bytes and each place's copies, to be parsed again.
    std::vector<Symbol> symbols_;
    std::vector<Region> regions_;
    std::vector<std::uint8_t> block_;
    std::vector<Node> nodes_;
    std::vector<Match> matches_;
    // A long run's copies of its end, their distances and where they start.
    std::vector<Match> runEndMatches_;
    std::vector<std::uint16_t> runDistances_;
    std::vector<std::size_t> runStarts_;
    std::vector<std::uint32_t> matchEnds_;  // the node where each copy in matches_ ends
    // The region being searched: where it starts in the finder's history,
    // the places where copies found end, and each node's number by its place.
    std::size_t regionAt_ = 0;
    std::vector<std::uint8_t> wanted_;
    std::vector<std::uint32_t> nodeAt_;
    // The cheapest way to each node of a region being parsed.
    std::vector<Step> steps_;
};

}  // namespace tallyline
