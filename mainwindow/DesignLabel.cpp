#include "mainwindow/DesignLabel.h"

#include <QFontMetrics>
#include <QPainter>

#include "platform/picture/QtColour.h"

namespace tallyline {

QRect DesignLabel::Area() const {
    if (!autoSize) return bounds;
    const QFontMetrics metrics(font);
    return QRect(bounds.topLeft(), QSize(metrics.horizontalAdvance(caption), metrics.height()));
}

void DesignLabel::Draw(QPainter& painter) const {
    const QRect area = Area();
    painter.save();
    painter.setClipRect(area);
    if (backColor) painter.fillRect(area, ToQColor(*backColor));
    painter.setFont(font);
    painter.setPen(ToQColor(foreColor));
    const int wrap = autoSize ? 0 : Qt::TextWordWrap;
    painter.drawText(area, static_cast<int>(alignment | Qt::AlignTop) | wrap, caption);
    painter.restore();
}

}  // namespace tallyline
