#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tallyline {

// Earlier bytes of a deflate stream that the bytes at a place repeat.
struct Match {
    std::uint16_t length;
    std::uint16_t distance;
};

// The last bytes of a deflate stream, as far back as a copy reaches and on
// to the end, and where bytes like those at a place came before. Only the
// places where bytes change are indexed: in a run of one byte the copy
// from one byte back is the one to take, and the runs that fill a picture's
// rows would make every chain long and useless.
class MatchFinder {
public:
    // `indexed`: about how many bytes will be indexed, which sizes the tables.
    // `rowLength`: the distance at which a picture's rows repeat, always tried.
    MatchFinder(std::size_t indexed, std::size_t rowLength);

    const std::uint8_t* Data() const noexcept { return history_.data(); }
    // The stream's position of Data()[0].
    std::uint64_t Base() const noexcept { return base_; }
    std::size_t Size() const noexcept { return history_.size(); }

    // Appends bytes, keeping a copy's reach before `keep` (an index of Data()).
    void Append(const std::uint8_t* bytes, std::size_t n, std::size_t keep);
    // Appends `length` bytes of the periodic stream that `period` makes, from its place `from` on.
    void AppendRepeat(std::span<const std::uint8_t> period, std::uint64_t from, std::uint64_t length);
    // Whether the bytes at `at` start a run of one byte.
    bool StartsRun(std::size_t at) const noexcept;
    // Indexes the place `at`.
    void Insert(std::size_t at);
    // Indexes the places from `from` to the end that do not start a run.
    void Index(std::size_t from);

    // Appends to `found` the copies for the bytes at `at` ending by `end`,
    // each longer than the one before: from the earlier places with the same
    // first bytes, a row back, `also`, and a byte back where `runs` says so.
    // Returns the longest length.
    std::size_t Find(std::size_t at, std::size_t end, bool runs, std::span<const std::uint16_t> also,
                     std::vector<Match>& found) const;
    // How many bytes before `at`, up to `most`, repeat those `distance` before them.
    std::size_t Behind(std::size_t at, std::size_t distance, std::size_t most) const noexcept;

private:
    std::vector<std::uint8_t> history_;
    std::uint64_t base_ = 0;  // the stream's position of history_[0]
    std::size_t rowLength_;
    int hashBits_;
    // The chains: head_ holds a slot number plus one for each hash, and each
    // slot the position it indexes and the slot number plus one of the place
    // before with that hash. Slots are reused in turn, so they need no
    // clearing: a chain that reaches a reused slot finds a later position
    // and ends there.
    std::size_t slotMask_;
    std::uint32_t slotsUsed_ = 0;
    std::vector<std::uint32_t> head_;
    std::unique_ptr<std::uint32_t[]> slotPosition_;
    std::unique_ptr<std::uint32_t[]> slotBefore_;
};

}  // namespace tallyline
