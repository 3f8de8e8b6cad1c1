#include "platform/printing/CupsJobStatus_p.h"

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <dlfcn.h>
#endif

namespace tallyline {
namespace {

// Statuses from here on are errors (ipp_status_t, "client-error-bad-request").
constexpr int kFirstIppError = 0x0400;

}  // namespace

std::optional<QString> LastCupsFailure() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Only a library that Qt's print support has already loaded counts:
    // its state is the one Qt's request left behind.
    void* const cups = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (cups == nullptr) return std::nullopt;
    using StatusFunction = int (*)();
    using TextFunction = const char* (*)();
    const auto status = reinterpret_cast<StatusFunction>(dlsym(cups, "cupsLastError"));
    const auto text = reinterpret_cast<TextFunction>(dlsym(cups, "cupsLastErrorString"));
    std::optional<QString> failure;
    if (status != nullptr && status() >= kFirstIppError) {
        const char* reason = text != nullptr ? text() : nullptr;
        failure = reason != nullptr ? QString::fromUtf8(reason) : QStringLiteral("the print server refused the job");
    }
    dlclose(cups);
    return failure;
#else
    return std::nullopt;
#endif
}

}  // namespace tallyline
