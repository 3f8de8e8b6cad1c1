#pragma once

#include <QByteArray>
#include <QImage>
#include <QMargins>

namespace tallyline {

// A picture as a PNG file with margins of the background colour around it,
// in the picture's pixels, each pixel made a square of scale x scale pixels.
// A picture only of greys is stored as one byte a pixel. A row unlike the
// one above is stored as it is, a row like it as the zeros of the "up"
// filter, and rows of zeros after another as copies of it; the rest is
// parsed for the fewest bits with Huffman codes made for the picture: files
// smaller than libpng's at its highest compression. The smallest pictures
// are made with libpng's filters too, and the smaller file kept. The
// density is kept, times scale, so the picture keeps its size on paper.
// InvalidProcedureCall for no picture, a scale below 1 or a negative margin,
// OutOfMemory when there is no room to convert the picture, std::bad_alloc
// when there is none for the file.
QByteArray EncodePng(const QImage& image, int scale, const QMargins& margins, QRgb background);

// The size in pixels of the file that EncodePng makes of a picture of this size.
QSize PngSize(QSize picture, int scale, const QMargins& margins);

// The widest and tallest PNG that common readers take by default: ImageMagick's
// policy and Pillow's check against decompression bombs refuse larger ones,
// and so does zbar, reading through either.
constexpr int kLargestReadablePng = 16384;

}  // namespace tallyline
