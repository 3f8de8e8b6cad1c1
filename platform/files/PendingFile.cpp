#include "platform/files/PendingFile_p.h"

#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/Failures.h"
#include "platform/files/Leftovers_p.h"

namespace tallyline {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Gives the unnamed file open at the descriptor the name; errno as link's.
// By the descriptor itself where the kernel lets this process do that, which
// spares a walk through /proc for every file of a batch; through its /proc
// entry where it does not (a kernel before 6.10 asks for a privilege).
int LinkUnnamed(int descriptor, const char* name) {
#ifdef AT_EMPTY_PATH
    if (linkat(descriptor, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0) return 0;
    if (errno != ENOENT && errno != EPERM && errno != EINVAL) return -1;
#endif
    const std::string unnamed = "/proc/self/fd/" + std::to_string(descriptor);
    return linkat(AT_FDCWD, unnamed.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW);
}

}  // namespace

void FailToWrite(const std::string& path, int error) { throw FileError(path, qt_error_string(error).toStdString()); }

PendingFile::PendingFile(std::string path) : path_(std::move(path)) {
    const std::string folder = FolderOf(path_);
#ifdef O_TMPFILE
    descriptor_ = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, kNewFileMode);
    // Only a file system or kernel without unnamed files goes on by name.
    if (descriptor_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) FailToWrite(path_, errno);
#endif
    RemoveLeftovers(folder);
    if (descriptor_ >= 0) return;
    for (;;) {
        temporary_ = TemporaryName(path_);
        descriptor_ = open(temporary_.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, kNewFileMode);
        if (descriptor_ < 0 && errno == EEXIST) continue;
        if (descriptor_ < 0) {
            temporary_.clear();
            FailToWrite(path_, errno);
        }
        // A run removing leftovers may have taken the new file for one in the
        // moment before it was held, and removes it.
        if (Hold() && SameFile(descriptor_, temporary_)) return;
        close(descriptor_);
        if (hold_ >= 0) close(hold_);
        hold_ = -1;
    }
}

PendingFile::~PendingFile() {
    if (descriptor_ >= 0) close(descriptor_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
    if (hold_ >= 0) close(hold_);
}

bool PendingFile::Hold() {
    hold_ = fcntl(descriptor_, F_DUPFD_CLOEXEC, 0);
    // Unheld, the file is written all the same; a file system that keeps no
    // locks lets no run prove a leftover either.
    if (hold_ < 0 || flock(hold_, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return true;
    close(hold_);
    hold_ = -1;
    return false;
}

void PendingFile::Write(const QByteArray& contents) {
    for (qsizetype written = 0; written < contents.size();) {
        const ssize_t step = write(descriptor_, contents.constData() + written, contents.size() - written);
        if (step < 0 && errno == EINTR) continue;
        // A write that takes nothing is asked again, which names the reason.
        if (step < 0) FailToWrite(path_, errno);
        written += step;
    }
}

std::size_t PendingFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const {
    std::size_t read = 0;
    while (read < size) {
        const ssize_t step = pread(descriptor_, buffer + read, size - read, static_cast<off_t>(offset + read));
        if (step < 0 && errno == EINTR) continue;
        if (step < 0) FailToWrite(path_, errno);
        if (step == 0) break;
        read += static_cast<std::size_t>(step);
    }
    return read;
}

void PendingFile::Sync() {
    if (fdatasync(descriptor_) != 0) FailToWrite(path_, errno);
}

void PendingFile::SetMode(mode_t mode) {
    // A file written by name is closed once it has tried its name.
    const int set = descriptor_ >= 0 ? fchmod(descriptor_, mode) : chmod(temporary_.c_str(), mode);
    if (set != 0) FailToWrite(path_, errno);
}

void PendingFile::Close() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    // After a failed close the descriptor is gone all the same: no retry.
    if (close(descriptor) != 0) FailToWrite(path_, errno);
}

void PendingFile::NameTemporarily() {
    if (!temporary_.empty()) return;
    // Held before it has a name, no other run can take it for a leftover.
    Hold();
    for (;;) {
        const std::string name = TemporaryName(path_);
        if (LinkUnnamed(descriptor_, name.c_str()) == 0) {
            temporary_ = name;
            return;
        }
        if (errno != EEXIST) FailToWrite(path_, errno);
    }
}

bool PendingFile::TakeFreeName() {
    if (temporary_.empty()) {
        if (LinkUnnamed(descriptor_, path_.c_str()) != 0) {
            if (errno == EEXIST) return false;
            FailToWrite(path_, errno);
        }
        try {
            Close();
        } catch (...) {
            // What failed to close is no whole file: its name goes again.
            unlink(path_.c_str());
            throw;
        }
        return true;
    }
    if (descriptor_ >= 0) Close();
    if (link(temporary_.c_str(), path_.c_str()) != 0) {
        if (errno == EEXIST) return false;
        FailToWrite(path_, errno);
    }
    unlink(temporary_.c_str());
    temporary_.clear();
    return true;
}

void PendingFile::TakeName() {
    NameTemporarily();
    if (descriptor_ >= 0) Close();
    if (rename(temporary_.c_str(), path_.c_str()) != 0) FailToWrite(path_, errno);
    temporary_.clear();
}

}  // namespace tallyline
