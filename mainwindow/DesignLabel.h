#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <optional>

#include "platform/core/Colour.h"

class QPainter;

namespace tallyline {

// A label: text painted on its window's own surface, so every windowed
// control covers it. A label that sizes itself keeps its top-left corner and
// takes the size of its caption; any other wraps its caption at its width
// and is cut off at its edges.
// What a label is never changes once it is made, so it is measured once: a
// window that repaints asks for its area on every paint.
struct DesignLabel {
    DesignLabel(QString caption, QRect bounds, QFont font, Colour foreColor, std::optional<Colour> backColor,
                Qt::Alignment alignment, bool autoSize);

    const QString caption;
    const QRect bounds;
    const QFont font;
    const Colour foreColor;
    const std::optional<Colour> backColor;  // nothing: transparent
    const Qt::Alignment alignment;
    const bool autoSize;

    // The rectangle the label takes in its window.
    QRect Area() const noexcept { return area_; }
    void Draw(QPainter& painter) const;

private:
    QRect area_;
};

}  // namespace tallyline
