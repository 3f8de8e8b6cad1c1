#include "CommonControls.h"

namespace tallyline {

void InitCommonControls() noexcept {}

}  // namespace tallyline
