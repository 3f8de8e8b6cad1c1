#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <vector>

namespace tallyline {

enum class LabelShape { Rectangle, Round, Ellipse, Cd };

// One product of a label maker, as its template describes it: the paper and
// where on it each label lies. Lengths are in points, 72 to the inch, from
// the paper's top-left corner.
struct LabelTemplate {
    QString brand;
    QString part;
    QString description;
    // The paper's name as a user knows it: "A4", "US Letter", or its size.
    QString paperName;
    QSizeF paper;
    LabelShape shape = LabelShape::Rectangle;
    // The label's bounding box; a round or CD label is as wide as it is high
    // unless its template cuts it.
    QSizeF label;
    // The rounding of a rectangle's corners; the radius of a round or CD
    // label, and the CD's hole.
    double cornerRadius = 0;
    double radius = 0;
    double holeRadius = 0;
    // How far from the label's edge anything printed stays.
    double markupMargin = 0;
    // The top-left corner of the label's box for each label, row by row, the
    // top-left label first.
    std::vector<QPointF> labels;

    // Brand and part, as the product is named.
    QString Product() const { return brand + u' ' + part; }
};

}  // namespace tallyline
