#include "platform/picture/PageAround.h"

#include <cmath>

#include "platform/core/Units.h"

namespace tallyline {

QPageSize PageAround(QSizeF millimetres) {
    // A hair over a whole point is that point: millimetres seldom land on one.
    const auto points = [](double side) { return static_cast<int>(std::ceil(side / kMillimetresPerPoint - 1e-6)); };
    return QPageSize(QSize(points(millimetres.width()), points(millimetres.height())), QString(),
                     QPageSize::ExactMatch);
}

}  // namespace tallyline
