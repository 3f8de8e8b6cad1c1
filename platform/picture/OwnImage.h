#pragma once

#include <QImage>
#include <QString>

namespace tallyline {

// One of the program's own pictures (its resources), read as the format its
// name's suffix says, one that Qt reads itself. Left to guess, Qt first asks
// every image plugin installed whether it reads the format, loading each
// plugin and the libraries it needs (a JPEG decoder, the SVG renderer) into
// a window that shows none of them. A null image when it cannot be read.
QImage ReadOwnImage(const QString& path);

}  // namespace tallyline
