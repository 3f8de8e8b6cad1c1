#include "mainwindow/DesignLabel.h"

#include <QFontMetrics>
#include <QPainter>

#include <utility>

#include "platform/picture/QtColour.h"

namespace tallyline {
namespace {

QRect AreaOf(const QString& caption, const QRect& bounds, const QFont& font, bool autoSize) {
    if (!autoSize) return bounds;
    const QFontMetrics metrics(font);
    return QRect(bounds.topLeft(), QSize(metrics.horizontalAdvance(caption), metrics.height()));
}

}  // namespace

DesignLabel::DesignLabel(QString caption, QRect bounds, QFont font, Colour foreColor, std::optional<Colour> backColor,
                         Qt::Alignment alignment, bool autoSize)
    : caption(std::move(caption)),
      bounds(bounds),
      font(std::move(font)),
      foreColor(foreColor),
      backColor(backColor),
      alignment(alignment),
      autoSize(autoSize),
      area_(AreaOf(this->caption, bounds, this->font, autoSize)) {}

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
