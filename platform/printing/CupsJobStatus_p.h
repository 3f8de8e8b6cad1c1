#pragma once

#include <QString>
#include <optional>

namespace tallyline {

// Qt hands a finished document to CUPS and ignores the answer, so a printer
// that refuses the job would pass for success. This reads the answer that
// CUPS left for the calling thread: the reason when the last request failed,
// nothing when it succeeded or when CUPS is not in use.
std::optional<QString> LastCupsFailure();

}  // namespace tallyline
