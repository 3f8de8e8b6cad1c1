#pragma once

#include <QByteArray>

#include <sys/mman.h>
#include <unistd.h>

namespace tallyline {

// A file with no name that holds the bytes, open at its start; -1 where the
// kernel makes none.
inline int MemoryFile(const QByteArray& bytes) {
    const int descriptor = memfd_create("tallyline-test", MFD_CLOEXEC);
    if (descriptor >= 0 && (write(descriptor, bytes.constData(), bytes.size()) != bytes.size() ||
                            lseek(descriptor, 0, SEEK_SET) != 0)) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

}  // namespace tallyline
