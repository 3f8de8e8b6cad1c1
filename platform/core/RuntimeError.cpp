#include "platform/core/RuntimeError.h"

namespace tallyline {

RuntimeError::RuntimeError(ErrorNumber number) : RuntimeError(number, StandardDescription(number)) {}

RuntimeError::RuntimeError(ErrorNumber number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

const char* StandardDescription(ErrorNumber number) noexcept {
    switch (number) {
    case ErrorNumber::InvalidProcedureCall: return "Invalid procedure call or argument";
    case ErrorNumber::Overflow: return "Overflow";
    case ErrorNumber::OutOfMemory: return "Out of memory";
    case ErrorNumber::DivisionByZero: return "Division by zero";
    case ErrorNumber::TypeMismatch: return "Type mismatch";
    case ErrorNumber::FileNotFound: return "File not found";
    case ErrorNumber::InvalidFileFormat: return "Invalid file format";
    case ErrorNumber::InvalidPropertyValue: return "Invalid property value";
    case ErrorNumber::PrinterError: return "Printer error";
    case ErrorNumber::CantOpenClipboard: return "Can't open Clipboard";
    }
    return "Application-defined or object-defined error";
}

}  // namespace tallyline
