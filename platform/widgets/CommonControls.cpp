#include "platform/widgets/CommonControls.h"

#include "platform/widgets/AccessibleControls_p.h"

namespace tallyline {

void InitCommonControls() noexcept { InstallAccessibleControls(); }

}  // namespace tallyline
