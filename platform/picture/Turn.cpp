#include "platform/picture/Turn.h"

namespace tallyline {

QSize Turned(QSize extent, Turn turn) noexcept {
    return turn == Turn::Quarter || turn == Turn::ThreeQuarters ? extent.transposed() : extent;
}

QTransform TurnedInPlace(QSize extent, Turn turn) {
    const QSize turned = Turned(extent, turn);
    // The corner that the turn brings to the top-left moves back there.
    QTransform transform;
    switch (turn) {
    case Turn::None: break;
    case Turn::Quarter: transform.translate(turned.width(), 0); break;
    case Turn::Half: transform.translate(turned.width(), turned.height()); break;
    case Turn::ThreeQuarters: transform.translate(0, turned.height()); break;
    }
    return transform.rotate(static_cast<int>(turn));
}

}  // namespace tallyline
