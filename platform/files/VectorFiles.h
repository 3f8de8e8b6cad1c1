#pragma once

#include <QByteArray>
#include <QMargins>

#include "platform/picture/Turn.h"

namespace tallyline {

class VectorCanvas;

// Shapes as an SVG or a PDF file, one pixel of the shapes taking that many
// millimetres, with margins of the shapes' background around them, in
// their pixels, and the whole turned as asked. SVG keeps the shapes' pixels as
// its units and asks for crisp edges; PDF is one page of the picture's size
// with its margins.
QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins,
                   Turn turn = Turn::None);
QByteArray PdfFile(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins,
                   Turn turn = Turn::None);

}  // namespace tallyline
