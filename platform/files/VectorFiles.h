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
// with its margins, in whole points as PDF keeps them.
QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins,
                   Turn turn = Turn::None);
// Whole points nearest to a picture's size, or around it (PageAround), cutting
// nothing of it.
enum class PdfPage { Nearest, Around };
QByteArray PdfFile(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins,
                   Turn turn = Turn::None, PdfPage page = PdfPage::Nearest);

}  // namespace tallyline
