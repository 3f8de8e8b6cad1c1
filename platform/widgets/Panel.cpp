#include "platform/widgets/Panel.h"

#include <QPainter>

#include "platform/widgets/FocusMark.h"

namespace tallyline {

void Panel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    PaintFocusMark(*this, painter, contentsRect());
}

}  // namespace tallyline
