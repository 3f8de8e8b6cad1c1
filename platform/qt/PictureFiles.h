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

// The format that a suffix names ("png", "svg" or "pdf", without the dot);
// nothing for any other.
std::optional<PictureFormat> FormatOfSuffix(const QString& suffix);
// The format that a file name's suffix names, whatever its case.
std::optional<PictureFormat> FormatOfName(const QString& fileName);
// The suffix, without its dot, that names the format.
QString SuffixOf(PictureFormat format);

// Shapes as an SVG or a PDF file, one pixel of the shapes taking that many
// millimetres. SVG keeps the shapes' pixels as its units and asks for crisp
// edges; PDF is one page of the picture's size.
QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel);
QByteArray PdfFile(const VectorCanvas& shapes, double millimetresPerPixel);

// The surface's persistent image as a file of the format: its pixels
// enlarged by scale for PNG, its shapes at that many millimetres a pixel for
// SVG and PDF.
QByteArray PictureFile(const PictureSurface& surface, PictureFormat format, int scale, double millimetresPerPixel);

// How a file is written whole or not at all.
enum class Writing {
    // Through a temporary file renamed over it and flushed to the disk: on
    // failure the old file, if any, stays as it was.
    Safely,
    // The same for a file that exists; a new file is written in place and
    // removed again if it cannot be written whole, which spares a batch of
    // thousands a rename and a flush to the disk for each.
    Quickly,
};

// Writes the file whole or not at all. FileError names the file and why; a
// symbolic link is not written through.
void WriteWholeFile(const QString& path, const QByteArray& contents, Writing writing = Writing::Safely);

}  // namespace tallyline
