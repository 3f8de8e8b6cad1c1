#pragma once

#include <cstdint>
#include <string>

namespace tallyline {

class PendingFile;

// Reads back a PDF that PdfDocument wrote, of that many bytes: its trailer
// leads to a cross-reference table whose every entry finds its object where
// it says, and its page tree counts the pages written. A write that the disk
// took and then lost or cut short fails it. FileError naming the path when
// the file is not that whole document.
void CheckWrittenPdf(const PendingFile& file, std::uint64_t size, std::int64_t pages, const std::string& path);

}  // namespace tallyline
