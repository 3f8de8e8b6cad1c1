#include "platform/widgets/BackColor.h"

#include <QPalette>
#include <QWidget>

#include "platform/picture/QtColour.h"

namespace tallyline {

void SetBackColor(QWidget& widget, Colour colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace tallyline
