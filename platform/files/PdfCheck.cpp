#include "platform/files/PdfCheck_p.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "platform/core/Failures.h"
#include "platform/files/PdfTable_p.h"
#include "platform/files/PendingFile_p.h"

namespace tallyline {
namespace {

constexpr std::size_t kEntriesAtATime = 4096;
constexpr std::string_view kStartTable = "startxref\n";
constexpr std::string_view kTable = "xref\n0 ";
constexpr std::string_view kEnd = "\n%%EOF\n";

class Reading {
public:
    Reading(const PendingFile& file, const std::string& path) : file_(file), path_(path) {}

    std::string At(std::uint64_t offset, std::size_t size) const {
        std::string bytes(size, '\0');
        bytes.resize(file_.ReadAt(offset, bytes.data(), size));
        return bytes;
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw FileError(path_, "what was read back is not the PDF written: " + what);
    }

    // The whole number that the text holds from the position on, which it
    // moves past the number; fails when there is none.
    std::uint64_t Number(std::string_view text, std::size_t& at) const {
        std::uint64_t number = 0;
        const char* const last = text.data() + text.size();
        const auto [end, error] = std::from_chars(text.data() + std::min(at, text.size()), last, number);
        if (error != std::errc()) Fail("a number is missing");
        at = static_cast<std::size_t>(end - text.data());
        return number;
    }

private:
    const PendingFile& file_;
    const std::string& path_;
};

}  // namespace

void CheckWrittenPdf(const PendingFile& file, std::uint64_t size, std::int64_t pages, const std::string& path) {
    const Reading reading(file, path);
    const std::string tail = reading.At(size - std::min<std::uint64_t>(size, 64), 64);
    const std::size_t trailer = tail.rfind(kStartTable);
    if (!tail.ends_with(kEnd) || trailer == std::string::npos) reading.Fail("it does not end as a PDF does");
    std::size_t at = trailer + kStartTable.size();
    const std::uint64_t table = reading.Number(tail, at);

    const std::string head = reading.At(table, 32);
    if (!head.starts_with(kTable)) reading.Fail("its cross-reference table is not where its trailer says");
    at = kTable.size();
    const std::uint64_t objects = reading.Number(head, at);
    if (at >= head.size() || head[at] != '\n') reading.Fail("its cross-reference table is not whole");
    const std::uint64_t entries = table + at + 1;
    if (entries + objects * kTableEntry > size) reading.Fail("its cross-reference table is cut short");

    std::uint64_t pageTree = 0;
    for (std::uint64_t first = 0; first < objects; first += kEntriesAtATime) {
        const std::uint64_t count = std::min<std::uint64_t>(kEntriesAtATime, objects - first);
        const std::string block = reading.At(entries + first * kTableEntry, count * kTableEntry);
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::string_view entry = std::string_view(block).substr(i * kTableEntry, kTableEntry);
            if (entry.size() < kTableEntry || entry[kTableEntryType] != 'n') continue;
            std::size_t digits = 0;
            const std::uint64_t offset = reading.Number(entry, digits);
            const std::string header = std::to_string(first + i) + " 0 obj\n";
            if (reading.At(offset, header.size()) != header) {
                reading.Fail("object " + std::to_string(first + i) + " is not where its table says");
            }
            if (first + i == kPageTree) pageTree = offset;
        }
    }
    const std::string sizeEntry = "trailer\n<< /Size " + std::to_string(objects) + ' ';
    if (reading.At(entries + objects * kTableEntry, sizeEntry.size()) != sizeEntry) {
        reading.Fail("its trailer is not whole");
    }

    const std::string tree = reading.At(pageTree, 64);
    constexpr std::string_view kCount = "/Count ";
    const std::size_t count = tree.find(kCount);
    at = count + kCount.size();
    if (count == std::string::npos || reading.Number(tree, at) != static_cast<std::uint64_t>(pages)) {
        reading.Fail("its page tree does not hold every page");
    }
}

}  // namespace tallyline
