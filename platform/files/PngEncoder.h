#pragma once

#include <QByteArray>
#include <QImage>
#include <QMargins>

namespace tallyline {

// A picture as a PNG file with margins of the background colour around it,
// in the picture's pixels, each pixel made a square of scale x scale pixels.
// A picture only of greys is stored as one byte a pixel. Each row is
// filtered as libpng's heuristic chooses; a row that repeats the one above,
// as most rows of a barcode do, filters to zeros and is written as a copy of
// the row before without being looked at, and the others are searched for
// copies and coded with Huffman codes made for the picture: files within a
// few percent of libpng's at its highest compression. The density is kept,
// times scale, so the picture keeps its size on paper. InvalidProcedureCall for
// no picture, a scale below 1 or a negative margin, OutOfMemory when there
// is no room to convert the picture, std::bad_alloc when there is none for
// the file.
QByteArray EncodePng(const QImage& image, int scale, const QMargins& margins, QRgb background);

// The size in pixels of the file that EncodePng makes of a picture of this size.
QSize PngSize(QSize picture, int scale, const QMargins& margins);

// The widest and tallest PNG that common readers take by default: ImageMagick's
// policy and Pillow's check against decompression bombs refuse larger ones,
// and so does zbar, reading through either.
constexpr int kLargestReadablePng = 16384;

}  // namespace tallyline
