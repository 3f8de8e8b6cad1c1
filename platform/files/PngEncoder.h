#pragma once

#include <QByteArray>
#include <QImage>
#include <QMargins>

namespace tallyline {

// A picture as a PNG file with margins of the background colour around it,
// in the picture's pixels, each pixel made a square of scale x scale pixels.
// A picture only of greys is stored as one byte a pixel; the rows are
// filtered against the row above, which a barcode repeats for most of its
// height, and compressed as runs: a file half again as large as a general
// compressor makes, in a fraction of its time. The density is kept, times
// scale, so the picture keeps its size on paper. InvalidProcedureCall for
// no picture, a scale below 1 or a negative margin, OutOfMemory when there
// is no room to convert the picture, std::bad_alloc when there is none for
// the file.
QByteArray EncodePng(const QImage& image, int scale, const QMargins& margins, QRgb background);

}  // namespace tallyline
