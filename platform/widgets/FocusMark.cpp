#include "platform/widgets/FocusMark.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

namespace tallyline {

void PaintFocusMark(const QWidget& widget, QPainter& painter, const QRect& area) {
    if (!widget.hasFocus()) return;
    // Every other pixel, so that whatever lies beneath, bars or face, still shows through.
    QPen dotted(widget.palette().color(QPalette::Highlight), 1);
    dotted.setDashPattern({1, 1});
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    // A 1-pixel rectangle covers its right and bottom edges' pixels as well.
    painter.drawRect(area.adjusted(1, 1, -2, -2));
    painter.restore();
}

}  // namespace tallyline
