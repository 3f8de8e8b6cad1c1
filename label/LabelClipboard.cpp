#include "label/LabelClipboard.h"

#include "label/BarcodePicture.h"
#include "platform/files/VectorFiles.h"
#include "platform/picture/PictureSurface.h"

namespace tallyline {

ClipboardLabel LabelForClipboard(const PictureSurface& surface) {
    return {surface.Image(), SvgFile(surface.Shapes(), kDesignMillimetresPerPixel)};
}

}  // namespace tallyline
