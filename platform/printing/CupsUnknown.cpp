#include "platform/printing/CupsResolution_p.h"

// Without libcups's headers the program cannot ask; Qt's own resolution serves.
namespace tallyline {

std::optional<int> CupsDefaultResolution(const QString&) { return std::nullopt; }

}  // namespace tallyline
