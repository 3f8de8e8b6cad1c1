#pragma once

#include "platform/core/Colour.h"

class QWidget;

namespace tallyline {

// Fills a window's or a control's background with the colour wherever
// nothing else is drawn.
void SetBackColor(QWidget& widget, Colour colour);

}  // namespace tallyline
