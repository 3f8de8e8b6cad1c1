#include "platform/files/WholeFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/Failures.h"
#include "platform/files/PendingFile_p.h"

namespace tallyline {
namespace {

// Whether the file at path holds exactly the contents. Opened without
// following a link: a link there is refused, not read through.
bool Holds(const std::string& path, const QByteArray& contents) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ELOOP) throw FileError(path, "it is a symbolic link");
        FailToWrite(path, errno);
    }
    QByteArray held(contents.size() + 1, Qt::Uninitialized);
    qsizetype read = 0;
    int error = 0;
    while (read < held.size()) {
        const ssize_t step = ::read(descriptor, held.data() + read, held.size() - read);
        if (step < 0 && errno == EINTR) continue;
        if (step < 0) error = errno;
        if (step <= 0) break;
        read += step;
    }
    close(descriptor);
    if (error != 0) FailToWrite(path, error);
    return read == contents.size() && QByteArrayView(held.constData(), read) == contents;
}

// Gives the file the permissions of the file it replaces, if there is one;
// a new file keeps what the umask gives. Whether there was one.
bool KeepMode(PendingFile& file, const std::string& path) {
    struct stat old {};
    if (lstat(path.c_str(), &old) != 0) return false;
    if (S_ISLNK(old.st_mode)) throw FileError(path, "it is a symbolic link");
    file.SetMode(old.st_mode & 07777);
    return true;
}

}  // namespace

Written WriteWholeFile(const QString& path, const QByteArray& contents, Writing writing) {
    const std::string name = QFile::encodeName(path).toStdString();
    PendingFile file(name);
    file.Write(contents);
    if (writing == Writing::Quickly) {
        if (file.TakeFreeName()) return Written::New;
        if (Holds(name, contents)) return Written::AlreadyThere;
    } else {
        file.Sync();
    }
    return TakeNameKeepingMode(file, name) ? Written::Replaced : Written::New;
}

bool TakeNameKeepingMode(PendingFile& file, const std::string& path) {
    const bool replacing = KeepMode(file, path);
    file.TakeName();
    return replacing;
}

void SyncFolder(const QString& folder) {
    const std::string name = QFile::encodeName(folder).toStdString();
    const int descriptor = open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) FailToWrite(name, errno);
#ifdef __linux__
    // The whole file system: the files' contents are not the folder's.
    const int synced = syncfs(descriptor);
#else
    const int synced = fsync(descriptor);
#endif
    const int error = errno;
    close(descriptor);
    if (synced != 0) FailToWrite(name, error);
}

}  // namespace tallyline
