#pragma once

class QPainter;
class QRect;
class QWidget;

namespace tallyline {

// While the widget has the keyboard's focus, draws a dotted line in the
// platform's focus colour one pixel inside `area`, over what the widget has
// just painted there. Painted on screen only: a widget's picture that is
// copied, saved or printed never holds it.
void PaintFocusMark(const QWidget& widget, QPainter& painter, const QRect& area);

}  // namespace tallyline
