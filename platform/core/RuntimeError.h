#pragma once

#include <stdexcept>
#include <string>

namespace tallyline {

// The numbers are the platform's own, so that a message names a failure the
// way its users and documents already know it.
enum class ErrorNumber : int {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    TypeMismatch = 13,
    FileNotFound = 53,
    InvalidFileFormat = 321,
    InvalidPropertyValue = 380,
    PrinterError = 482,
    CantOpenClipboard = 521,
};

// The one error type of the platform's run-time failures. It travels from the
// failing step up to the handler that reports it; whatever was done before the
// failing step stays done.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorNumber number);
    RuntimeError(ErrorNumber number, const std::string& description);

    ErrorNumber Number() const noexcept { return number_; }
    const char* Description() const noexcept { return what(); }

private:
    ErrorNumber number_;
};

// The platform's standard text for a number, "Overflow" for 6.
const char* StandardDescription(ErrorNumber number) noexcept;

}  // namespace tallyline
