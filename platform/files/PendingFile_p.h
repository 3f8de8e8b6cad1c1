#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace tallyline {

// Throws FileError naming the file and the kernel's reason, errno's words.
[[noreturn]] void FailToWrite(const std::string& path, int error);

// A file being written into a folder that takes its name only when whole, so
// that a kill at any moment leaves the name as it was. On Linux it has no
// name at all until then (O_TMPFILE); elsewhere, or on a file system without
// unnamed files, it is written under a hidden temporary name beside the
// final one, held as in use until it has its own (Leftovers_p.h): the first
// file that a process writes into a folder removes what killed runs left there.
// Every step throws FileError naming the final file and the kernel's reason;
// whatever is left unfinished is removed with the object.
class PendingFile {
public:
    explicit PendingFile(std::string path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    void Write(const QByteArray& contents);
    // Reads what was written from the offset into the buffer, which it fills
    // unless the file ends first; how many bytes it read.
    std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const;
    // Flushes the contents to the disk.
    void Sync();
    void SetMode(mode_t mode);

    // Gives the file its name if no file has it yet, closing it; false,
    // and the file still pending, when the name is taken.
    bool TakeFreeName();
    // Gives the file its name in place of whatever has it, closing it.
    void TakeName();

private:
    // Closes the file, which is where some file systems report a failed write.
    void Close();
    // Gives an unnamed file the temporary name.
    void NameTemporarily();
    // Holds the file on a descriptor of its own, which outlasts the file's
    // close before its rename; false when a run removing leftovers holds it.
    bool Hold();

    std::string path_;
    std::string temporary_;  // empty while the file has no name
    int descriptor_ = -1;
    int hold_ = -1;
};

// Gives the file the name at path in place of whatever has it, with the
// permissions of the file it replaces; whether there was one.
bool TakeNameKeepingMode(PendingFile& file, const std::string& path);

}  // namespace tallyline
