#include "platform/core/Failures.h"

#include <exception>
#include <new>

namespace tallyline {

FileError::FileError(const std::string& path, const std::string& reason)
    : std::runtime_error("Cannot write " + path + ": " + reason) {}

TextTooLong::TextTooLong()
    : std::length_error("too long: its barcode would be wider than the 32767 pixels a picture can take") {}

SizeOutOfRange::SizeOutOfRange() : RuntimeError(ErrorNumber::InvalidPropertyValue) {}

std::string DescribeCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const RuntimeError& error) {
            return error.Description();
        } catch (const std::bad_alloc&) {
            return "Out of memory.";
        } catch (const std::exception& error) {
            return error.what();
        } catch (...) {
            return "An unexpected error occurred.";
        }
    } catch (...) {
        // Building the text itself failed; an empty reason still lets the
        // report name the action.
        return {};
    }
}

}  // namespace tallyline
