#pragma once

#include "button/ButtonFace.h"
#include "button/host/ControlSurface.h"
#include "button/host/PictureClip.h"

namespace tallyline {

// Paints the face over the whole surface from its cell of the skin in nine
// pieces: the corners at their own size, the edges stretched along their
// length, the middle both ways, so the border and the inner frame keep
// their width at any size. Nothing else is drawn, and the surface is left
// in pixels.
void DrawButton(const ButtonFace& face, ControlSurface& surface, const PictureClip& pc);

}  // namespace tallyline
