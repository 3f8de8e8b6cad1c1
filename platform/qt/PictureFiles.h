#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace tallyline {

class PictureSurface;
class VectorCanvas;

// The kinds of file a picture is saved as.
enum class PictureFormat { Png, Svg, Pdf };

// The format that a file name's suffix names, whatever its case; nothing for
// any other suffix.
std::optional<PictureFormat> FormatOfName(const QString& fileName);
// The suffix, without its dot, that names the format.
QString SuffixOf(PictureFormat format);

// Pixels as a PNG file, each pixel made a square of scale x scale, so the
// picture keeps its size on paper. A picture only of greys is stored as one.
QByteArray PngFile(const QImage& image, int scale);
// Shapes as an SVG or a PDF file, one pixel of the shapes taking that many
// millimetres. SVG keeps the shapes' pixels as its units and asks for crisp
// edges; PDF is one page of the picture's size.
QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel);
QByteArray PdfFile(const VectorCanvas& shapes, double millimetresPerPixel);

// The surface's persistent image as a file of the format: its pixels
// enlarged by scale for PNG, its shapes at that many millimetres a pixel for
// SVG and PDF.
QByteArray PictureFile(const PictureSurface& surface, PictureFormat format, int scale, double millimetresPerPixel);

// Writes the file whole or not at all, through a temporary file renamed over
// it: on failure the old file, if any, stays as it was. FileError names the
// file and why.
void WriteWholeFile(const QString& path, const QByteArray& contents);

}  // namespace tallyline
