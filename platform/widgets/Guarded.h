#pragma once

#include <QString>
#include <utility>

#include "platform/core/Failures.h"
#include "platform/widgets/ErrorReporter.h"

namespace tallyline {

// Runs one notification handler to its end. Whatever it throws stops the
// handler at the failing step, is reported, and goes no further: an
// exception must never reach Qt's event loop.
template <typename Handler>
void Guarded(ErrorReporter& reporter, const QString& action, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        reporter.Report(action, QString::fromStdString(DescribeCurrentException()));
    }
}

}  // namespace tallyline
