#pragma once

#include <QString>

#include <stdexcept>

namespace tallyline {

// A file that could not be written, with the file and the reason in words a
// user can act on: "Cannot write labels/A.png: Permission denied".
class FileError : public std::runtime_error {
public:
    FileError(const QString& path, const QString& reason);
};

}  // namespace tallyline
