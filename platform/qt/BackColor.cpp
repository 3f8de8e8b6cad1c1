#include "platform/qt/BackColor.h"

#include <QPalette>
#include <QWidget>

#include "platform/qt/QtColour.h"

namespace tallyline {

void SetBackColor(QWidget& widget, Colour colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace tallyline
