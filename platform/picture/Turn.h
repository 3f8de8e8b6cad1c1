#pragma once

#include <QSize>
#include <QTransform>

namespace tallyline {

// A picture turned clockwise by whole quarters: bars stay whole pixels or
// dots, rows of them instead of columns.
enum class Turn { None = 0, Quarter = 90, Half = 180, ThreeQuarters = 270 };

// The size of a picture of that extent once turned.
QSize Turned(QSize extent, Turn turn) noexcept;

// Maps a picture of that extent, its top-left at the origin, onto itself
// turned, its top-left at the origin again.
QTransform TurnedInPlace(QSize extent, Turn turn);

}  // namespace tallyline
