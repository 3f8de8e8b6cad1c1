#pragma once

#include <QString>
#include <utility>

#include "platform/qt/ErrorReporter.h"

namespace tallyline {

// Text for the exception being handled: the platform's number and
// description for a RuntimeError, the message of any other standard
// exception, and a plain note for anything else. Call only inside a catch.
QString DescribeCurrentException() noexcept;

// Runs one notification handler to its end. Whatever it throws stops the
// handler at the failing step, is reported, and goes no further: an
// exception must never reach Qt's event loop.
template <typename Handler>
void Guarded(ErrorReporter& reporter, const QString& action, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        reporter.Report(action, DescribeCurrentException());
    }
}

}  // namespace tallyline
