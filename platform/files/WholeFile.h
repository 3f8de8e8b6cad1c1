#pragma once

#include <QByteArray>
#include <QString>

namespace tallyline {

// How a file is written whole or not at all. Either way the file takes its
// name only once it is whole, so a kill at any moment leaves the old file,
// if any, or no file; a symbolic link is never written through.
enum class Writing {
    // Flushed to the disk before it takes its name, over any old file, whose
    // permissions it keeps.
    Safely,
    // Not flushed, which spares a batch of thousands a flush to the disk for
    // each: call SyncFolder when done. A file that is there already with the
    // same contents is left as it is; one that differs is replaced, keeping
    // its permissions.
    Quickly,
};

// What became of the file.
enum class Written { New, Replaced, AlreadyThere };

// Writes the file whole or not at all. FileError names the file and why.
Written WriteWholeFile(const QString& path, const QByteArray& contents, Writing writing = Writing::Safely);

// Flushes what was written quickly into the folder to its disk; FileError
// when the disk reports a write that failed.
void SyncFolder(const QString& folder);

}  // namespace tallyline
