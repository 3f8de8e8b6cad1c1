#include "platform/core/Units.h"

#include "platform/core/RuntimeError.h"

namespace tallyline {

ScaleModeKind ValidScaleMode(ScaleModeKind mode) {
    if (mode != ScaleModeKind::Twips && mode != ScaleModeKind::Pixels) {
        throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    }
    return mode;
}

}  // namespace tallyline
