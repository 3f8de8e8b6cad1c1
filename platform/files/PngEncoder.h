#pragma once

#include <QByteArray>
#include <QImage>

namespace tallyline {

// A picture as a PNG file, each pixel made a square of scale x scale pixels.
// A picture only of greys is stored as one byte a pixel; where libpng is
// at hand the rows are filtered against the row above, which a barcode
// repeats for most of its height, and compressed as runs, trading a little
// size for speed. The density is kept, times scale, so the picture keeps its
// size on paper. OutOfMemory when the file cannot be made.
QByteArray EncodePng(const QImage& image, int scale);

}  // namespace tallyline
