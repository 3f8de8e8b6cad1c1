#pragma once

#include <QByteArray>
#include <QString>

namespace tallyline {

// How a file is written whole or not at all.
enum class Writing {
    // Through a temporary file renamed over it and flushed to the disk: on
    // failure the old file, if any, stays as it was.
    Safely,
    // The same for a file that exists; a new file is written in place and
    // removed again if it cannot be written whole, which spares a batch of
    // thousands a rename and a flush to the disk for each.
    Quickly,
};

// Writes the file whole or not at all. FileError names the file and why; a
// symbolic link is not written through.
void WriteWholeFile(const QString& path, const QByteArray& contents, Writing writing = Writing::Safely);

}  // namespace tallyline
