#include "button/DrawButton_p.h"

#include "button/SkinGeometry.h"
#include "platform/core/Numeric.h"

namespace tallyline {

void DrawButton(const ButtonFace& face, ControlSurface& surface, const PictureClip& pc) {
    using namespace skin;
    constexpr float s = kStrip;
    constexpr float right = kCellWidth - kStrip;    // 15
    constexpr float bottom = kCellHeight - kStrip;  // 18
    constexpr float middleWidth = kMiddleWidth;
    constexpr float middleHeight = kMiddleHeight;

    surface.ScaleMode(ScaleModeKind::Pixels);
    const float W = surface.ScaleWidth();
    const float H = surface.ScaleHeight();
    const float W3 = W - s;
    const float H3 = H - s;
    const float W6 = W - 2 * s;
    // A whole number of pixels either way; the conversion only guards the range.
    const std::int16_t H6 = CInt(static_cast<double>(H) - 2 * s);

    const auto cell = [&] { return pc.GraphicCell(face); };
    surface.PaintPicture(cell(), 0, 0, s, s, 0, 0, s, s);
    surface.PaintPicture(cell(), W3, 0, s, s, right, 0, s, s);
    surface.PaintPicture(cell(), W3, H3, s, s, right, bottom, s, s);
    surface.PaintPicture(cell(), 0, H3, s, s, 0, bottom, s, s);
    surface.PaintPicture(cell(), s, 0, W6, s, s, 0, middleWidth, s);
    surface.PaintPicture(cell(), W3, s, s, H6, right, s, s, middleHeight);
    surface.PaintPicture(cell(), 0, s, s, H6, 0, s, s, middleHeight);
    surface.PaintPicture(cell(), s, H3, W6, s, s, bottom, middleWidth, s);
    surface.PaintPicture(cell(), s, s, W6, H6, s, s, middleWidth, middleHeight);
}

}  // namespace tallyline
