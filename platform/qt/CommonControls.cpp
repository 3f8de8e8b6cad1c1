#include "platform/qt/CommonControls.h"

#include "platform/qt/AccessibleControls_p.h"

namespace tallyline {

void InitCommonControls() noexcept { InstallAccessibleControls(); }

}  // namespace tallyline
