#include "CommonControls.h"

#include "AccessibleControls.h"

namespace tallyline {

void InitCommonControls() noexcept { InstallAccessibleControls(); }

}  // namespace tallyline
