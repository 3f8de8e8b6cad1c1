#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tallyline {

// The objects that a PDF document writes last, whose numbers its pages name
// from the start.
enum PdfFixedObject : int { kCatalog = 1, kPageTree, kResources, kInformation, kFirstFree };

// An entry of a PDF's cross-reference table: the offset of an object in use,
// in ten digits, in the twenty bytes that every entry takes.
constexpr std::size_t kTableEntry = 20;
// Where an entry says whether its object is in use ('n') or free ('f').
constexpr std::size_t kTableEntryType = 17;
constexpr std::uint64_t kFarthestOffset = 9'999'999'999ULL;

inline void AppendTableEntry(std::string& bytes, std::uint64_t offset) {
    char entry[kTableEntry + 1];
    std::snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(offset));
    bytes.append(entry, kTableEntry);
}

}  // namespace tallyline
