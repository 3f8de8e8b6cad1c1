#pragma once

#include <QCursor>

namespace tallyline {

// The platform's "icon" pointer (mouse pointer kind 4): a small square
// inside a square, with the hot spot at its centre.
QCursor IconPointer();

}  // namespace tallyline
