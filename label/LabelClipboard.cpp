#include "label/LabelClipboard.h"

#include "label/BarcodePicture.h"
#include "platform/files/VectorFiles.h"
#include "platform/picture/PictureSurface.h"

namespace tallyline {

ClipboardLabel LabelForClipboard(const PictureSurface& surface) {
    // The window's picture as it shows, without a quiet zone: what a copy
    // is pasted beside brings its own margins.
    return {surface.Image(), SvgFile(surface.Shapes(), kDesignMillimetresPerPixel, QMargins())};
}

}  // namespace tallyline
