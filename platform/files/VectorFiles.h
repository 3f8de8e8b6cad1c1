#pragma once

#include <QByteArray>

namespace tallyline {

class VectorCanvas;

// Shapes as an SVG or a PDF file, one pixel of the shapes taking that many
// millimetres. SVG keeps the shapes' pixels as its units and asks for crisp
// edges; PDF is one page of the picture's size.
QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel);
QByteArray PdfFile(const VectorCanvas& shapes, double millimetresPerPixel);

}  // namespace tallyline
