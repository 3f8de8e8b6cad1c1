#include "platform/qt/Guarded.h"

#include <exception>
#include <new>

#include "platform/core/RuntimeError.h"

namespace tallyline {

QString DescribeCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const RuntimeError& error) {
            return QStringLiteral("Run-time error %1: %2")
                .arg(static_cast<int>(error.Number()))
                .arg(QString::fromUtf8(error.Description()));
        } catch (const std::bad_alloc&) {
            return QStringLiteral("Out of memory.");
        } catch (const std::exception& error) {
            return QString::fromUtf8(error.what());
        } catch (...) {
            return QStringLiteral("An unexpected error occurred.");
        }
    } catch (...) {
        // Building the text itself failed; an empty reason still lets the
        // report name the action.
        return {};
    }
}

}  // namespace tallyline
