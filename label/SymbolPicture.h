#pragma once

#include <QFont>

#include "engine/Code39Symbol.h"
#include "engine/Symbol.h"
#include "label/BarcodePicture.h"
#include "platform/core/Text.h"

namespace tallyline {

class PictureSurface;

// How a symbol is drawn where the window's picture is not the rule (labels,
// sheets, files asked for another look), in whole pixels of its surface: one
// pixel a dot of the printer or of the file's grid.
struct SymbolLook {
    ElementWidths widths;
    // Modules of background left and right of the bars.
    int quietZone = kStandardQuietZone;
    int barHeight = 0;
    bool caption = true;
};

// The caption's font beside a narrow element of that many pixels: the
// window's, grown with the module as the window's picture grows on paper.
QFont CaptionFont(int narrow);
// The pixels that the caption takes beneath the bars with its gaps, as the
// window spaces it; none without a caption.
int CaptionBand(const SymbolLook& look);
// The picture's width: the bars and the quiet zones.
int SymbolWidth(long bars, const SymbolLook& look);

// Draws the symbol's data characters as bars with the look's quiet zones and
// widths, its caption centred beneath them, on a surface made as large as
// that; the colours are the window picture's. SizeOutOfRange for a picture
// larger than a surface takes.
void DrawLabelSymbol(const Symbol& symbol, const SymbolLook& look, PictureSurface& surface);

}  // namespace tallyline
