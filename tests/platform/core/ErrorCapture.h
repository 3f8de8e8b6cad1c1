#pragma once

#include <QtTest>

#include <optional>

#include "RuntimeError.h"

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
    if (!number) return qstrdup("no error");
    return qstrdup(QByteArray("error ") + QByteArray::number(static_cast<int>(*number)) + ' ' +
                   StandardDescription(*number));
}

}  // namespace tallyline
