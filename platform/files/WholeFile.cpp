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

// Refuses a name that holds no regular file: a link is not written or read
// through, and a FIFO, a socket or a device would block or take the file as
// no file does.
void RefuseUnlikeFile(const std::string& path, mode_t mode) {
    if (S_ISLNK(mode)) throw FileError(path, "it is a symbolic link");
    if (S_ISDIR(mode)) FailToWrite(path, EISDIR);
    if (S_ISFIFO(mode)) throw FileError(path, "it is a named pipe");
    if (S_ISSOCK(mode)) throw FileError(path, "it is a socket");
    if (!S_ISREG(mode)) throw FileError(path, "it is a device");
}

// Opens the regular file at path for reading.
int OpenRegular(const std::string& path) {
    struct stat found {};
    if (lstat(path.c_str(), &found) != 0) FailToWrite(path, errno);
    RefuseUnlikeFile(path, found.st_mode);
    // Neither blocking nor following a link, should the name change hands meanwhile.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) FailToWrite(path, errno);
    if (fstat(descriptor, &found) == 0 && S_ISREG(found.st_mode)) return descriptor;
    close(descriptor);
    throw FileError(path, "it changed while it was being read");
}

// Whether the file at path holds exactly the contents.
bool Holds(const std::string& path, const QByteArray& contents) {
    const int descriptor = OpenRegular(path);
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
    RefuseUnlikeFile(path, old.st_mode);
    file.SetMode(old.st_mode & 07777);
    return true;
}

}  // namespace

// Not QSaveFile: it flushes every file to the disk, which a batch of thousands
// cannot afford, reports success when the disk fails that flush, and writes
// through a symbolic link.
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
