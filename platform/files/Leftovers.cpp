#include "platform/files/Leftovers_p.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallyline {
namespace {

constexpr std::string_view kMark = ".tallyline-";
// The file's own name kept in a hidden one: room for the mark and a counter
// in the 255 bytes that a name may have.
constexpr std::size_t kKeptName = 200;

bool IsTemporaryName(std::string_view name) {
    const auto mark = name.rfind(kMark);
    if (name.empty() || name.front() != '.' || mark == std::string_view::npos || mark == 0) return false;
    const std::string_view counter = name.substr(mark + kMark.size());
    return !counter.empty() && counter.find_first_not_of("0123456789") == std::string_view::npos;
}

void RemoveIfLeftover(const std::string& path) {
    struct stat found {};
    // Only a regular file is opened: opening a FIFO would wake its writer.
    if (lstat(path.c_str(), &found) != 0 || !S_ISREG(found.st_mode)) return;
    const int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return;
    // Held by no one, and still under the name: a run that held it and has
    // just given it up may have renamed it or another run's file taken it.
    if (flock(descriptor, LOCK_EX | LOCK_NB) == 0 && SameFile(descriptor, path)) unlink(path.c_str());
    close(descriptor);
}

}  // namespace

std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned long> counter = 0;
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + '.' + name.substr(0, kKeptName) + std::string(kMark) + std::to_string(counter++);
}

bool SameFile(int descriptor, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return fstat(descriptor, &opened) == 0 && lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

void RemoveLeftovers(const std::string& folder) {
    static std::mutex mutex;
    static std::set<std::string> cleared;
    const std::lock_guard lock(mutex);
    if (!cleared.insert(folder).second) return;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = readdir(listing)) {
        if (IsTemporaryName(entry->d_name)) RemoveIfLeftover(folder + '/' + entry->d_name);
    }
    closedir(listing);
}

}  // namespace tallyline
