#pragma once

#include <cstdint>

namespace tallyline {

// The button's faces; each value is also the index of the face's cell in the skin.
enum ButtonFace : std::int16_t {
    FaceNormal = 0,
    FacePressed = 1,
    FaceDisabled = 2,
    FaceHover = 3,
    FaceHighlighted = 4,
};

}  // namespace tallyline
