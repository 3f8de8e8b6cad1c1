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
struct DesignLabel {
    QString caption;
    QRect bounds;
    QFont font;
    Colour foreColor;
    std::optional<Colour> backColor;  // nothing: transparent
    Qt::Alignment alignment = Qt::AlignLeft;
    bool autoSize = false;

    // The rectangle the label takes in its window.
    QRect Area() const;
    void Draw(QPainter& painter) const;
};

}  // namespace tallyline
