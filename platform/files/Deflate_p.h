#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tallyline {

// A raw deflate stream, appended to `out` as it goes, in blocks of codes
// made for their own symbols. Written here rather than taken from zlib or
// libdeflate because those can only compress every byte of a picture's
// rows, where a barcode's are mostly repeats that the caller knows as such
// (Copy) and that cost nothing to find; the rest (Bytes) is searched for
// copies as a general compressor would.
class DeflateWriter {
public:
    // `size`: the most bytes the stream will hold, which sizes its tables.
    DeflateWriter(std::string& out, std::uint64_t size);

    // Bytes of the stream, written as copies of earlier ones where they are found.
    void Bytes(std::span<const std::uint8_t> bytes);
    // `length` bytes that repeat, from `distance` back (1 to 32,768), what
    // the stream holds there.
    void Copy(std::size_t distance, std::uint64_t length);
    // Lets later bytes be copies from the last n too, which Copy leaves out
    // of its search: the caller's copies are many and long, and found already.
    void Remember(std::size_t n);
    // Ends the stream with its last block.
    void Finish();

private:
    struct Symbol {
        std::uint16_t value;     // a byte, or a copy's length
        std::uint16_t distance;  // 0 for a byte
    };
    struct Match {
        std::size_t length = 0;
        std::size_t distance = 0;
    };

    void Append(const std::uint8_t* bytes, std::size_t n);
    void MakeRoom(std::size_t n);
    // Writes the bytes from parsed_ up to `stop` as symbols.
    void Parse(std::size_t stop);
    void Insert(std::size_t at);
    Match Longest(std::size_t at, std::size_t end) const;
    void Literal(std::uint8_t byte);
    void CopySymbol(std::size_t length, std::size_t distance);
    void WriteBlock(bool last);
    void Put(std::uint32_t bits, int length);

    std::string& out_;
    std::uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    std::vector<Symbol> symbols_;
    // The last bytes of the stream, from stream position base_ on; copies
    // reach back a window of them.
    std::vector<std::uint8_t> history_;
    std::uint64_t base_ = 0;
    std::size_t parsed_ = 0;
    std::size_t window_;
    int hashBits_;
    std::vector<std::uint32_t> head_;  // the latest position of each hash
    std::vector<std::uint32_t> prev_;  // the position before, of the same hash
};

}  // namespace tallyline
