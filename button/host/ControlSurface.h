#pragma once

#include "platform/core/Units.h"
#include "platform/picture/StdPicture.h"

namespace tallyline {

// What a user control's painting may do with the control's own surface,
// under the platform's names. Coordinates are in the current scale.
class ControlSurface {
public:
    virtual ~ControlSurface() = default;

    virtual void ScaleMode(ScaleModeKind mode) = 0;
    virtual float ScaleLeft() const = 0;
    virtual float ScaleTop() const = 0;
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;
    virtual bool Enabled() const = 0;

    // Copies the source rectangle of the picture (X2, Y2, Width2, Height2, in
    // the picture's pixels scaled like the surface) onto the destination
    // rectangle (X1, Y1, Width1, Height1), stretched or shrunk to fit.
    virtual void PaintPicture(const StdPicture& picture, float X1, float Y1, float Width1, float Height1, float X2,
                              float Y2, float Width2, float Height2) = 0;
};

}  // namespace tallyline
