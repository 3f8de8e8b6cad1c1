#pragma once

#include <stdexcept>
#include <string>

#include "platform/core/RuntimeError.h"

// What can fail in a way the user is told of, each caught by its own type,
// and the one text that tells it, whoever reports it: the window's message
// box, the command line's standard error.
namespace tallyline {

// A file that could not be written, with the file and the reason in words a
// user can act on: "Cannot write labels/A.png: Permission denied".
class FileError : public std::runtime_error {
public:
    FileError(const std::string& path, const std::string& reason);
};

// A text whose barcode would be wider than a picture can be.
class TextTooLong : public std::length_error {
public:
    TextTooLong();
};

// A size or position beyond the 16 bits that the platform keeps them in: a
// RuntimeError "Invalid property value", which a caller that knows why the
// size grew can name better.
class SizeOutOfRange : public RuntimeError {
public:
    SizeOutOfRange();
};

// Text for the exception being handled: the description of a RuntimeError,
// without its number, which the rest of the desktop never shows either; the
// message of any other standard exception, and a plain note for anything
// else. Call only inside a catch.
std::string DescribeCurrentException() noexcept;

}  // namespace tallyline
