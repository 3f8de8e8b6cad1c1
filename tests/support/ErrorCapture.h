#pragma once

#include <QtTest>

#include <optional>

#include "platform/core/RuntimeError.h"

namespace tallyline {

// Runs the call and tells which platform error, if any, came out of it.
template <typename Call>
std::optional<ErrorNumber> ErrorOf(Call&& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return std::nullopt;
}

// Lets QCOMPARE name the errors it compares.
inline char* toString(const std::optional<ErrorNumber>& number) {
    return qstrdup(number ? StandardDescription(*number) : "no error");
}

}  // namespace tallyline
