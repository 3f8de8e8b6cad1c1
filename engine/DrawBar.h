#pragma once

#include <cstdint>

#include "engine/Symbol.h"
#include "platform/core/DrawingSurface.h"
#include "platform/core/Text.h"

namespace tallyline {

// The background that DrawBarcode leaves beside the bars, in modules: the
// start character's leading space, and the stop character's trailing space
// with the module after it.
constexpr int kSpaceBeforeBars = 1;
constexpr int kSpaceAfterBars = 2;

// Beneath the bars, in caption heights: the caption's band, and the gap
// between the bars and the caption in it.
constexpr float kBarBandCaptionHeights = 1.5f;
constexpr float kCaptionGapCaptionHeights = 0.25f;

// Draws the text as a Code 39 symbol, with its caption printed centred
// beneath the bars, and fits the surface's width to the symbol. A character
// without bars, '*' among them, takes no room in the symbol and still shows
// in the caption: the start/stop character stands at both ends only. An
// empty text only clears the surface. The surface keeps the drawing in its
// persistent image. Errors of the surface or of the arithmetic (Overflow,
// "Division by zero") end the call where they happen and reach the caller;
// what was drawn by then stays drawn.
void DrawBarcode(Text text, DrawingSurface& surface);

// Draws the symbol as DrawBarcode draws a text: its data characters as bars
// between the start and stop characters, its caption beneath them. The first
// sizing counts the data characters. DrawBarcode draws the text's standard
// symbol.
void DrawSymbol(const Symbol& symbol, DrawingSurface& surface);

// What DrawBarcode prints beneath the bars of the text, and encodes in them:
// the text upper-cased.
Text BarcodeCaption(TextView text);

// The narrow element's width in pixels on a surface of that height in
// pixels: a fortieth of it, to the nearest whole pixel (ties to even), and
// at least one. Overflow for a height past what 16 bits can take.
std::int16_t ModuleWidth(float scaleHeight);

}  // namespace tallyline
