#pragma once

#include "platform/core/Colour.h"
#include "platform/core/Text.h"
#include "platform/core/Units.h"

namespace tallyline {

// What the barcode renderer may do with a picture box, under the platform's
// own names. A reader overload returns the value; the overload with an
// argument assigns it. Every operation may raise a RuntimeError.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void ScaleMode(ScaleModeKind mode) = 0;

    // Outer size in the container's units (twips).
    virtual float Width() const = 0;
    virtual void Width(float width) = 0;

    // Inner scale, in the units that ScaleMode chose.
    virtual float ScaleLeft() const = 0;
    virtual float ScaleTop() const = 0;
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;

    // Clears the persistent image to the background colour.
    virtual void Cls() = 0;
    // Picture = Nothing: takes the background picture away, laying the
    // background afresh as Cls does.
    virtual void RemovePicture() = 0;
    // Fills the box between two corners in one colour; later boxes cover earlier ones.
    virtual void Line(float x1, float y1, float x2, float y2, Colour colour) = 0;

    virtual float TextWidth(TextView text) const = 0;
    virtual float TextHeight(TextView text) const = 0;
    virtual float CurrentX() const = 0;
    virtual void CurrentX(float x) = 0;
    virtual float CurrentY() const = 0;
    virtual void CurrentY(float y) = 0;
    // Draws the text with its top-left corner at the pen.
    virtual void Print(TextView text) = 0;
};

}  // namespace tallyline
