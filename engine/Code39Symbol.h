#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/ElementPattern.h"
#include "platform/core/Text.h"

namespace tallyline {

// The patterns that draw the text's symbol, left to right: the start/stop
// character, the pattern of each character of the text as it stands (an empty
// one for a character without bars), the start/stop character again. The text
// is taken as drawn: upper-casing is the caller's.
std::vector<ElementPattern> SymbolPatterns(TextView drawn);

enum class Element : std::uint8_t { Narrow, Wide };

// The symbol as a scanner reads it, from the first bar of the start character
// to the last bar of the stop character: bars and spaces by turns, a bar
// first, each narrow or wide. The gap between two characters is a narrow space.
std::vector<Element> SymbolElements(TextView drawn);

// The width of each kind of element in whole units of the grid the symbol is
// drawn on: pixels, a printer's dots.
struct ElementWidths {
    int narrow;
    int wide;

    int Of(Element element) const noexcept { return element == Element::Wide ? wide : narrow; }
};

// Units from the first bar's left edge to the last bar's right edge.
long SymbolUnits(std::span<const Element> elements, ElementWidths widths) noexcept;

// The wide-to-narrow ratios that Code 39 allows.
constexpr double kNarrowestRatio = 2.0;
constexpr double kWidestRatio = 3.0;

// The ratio of a symbol whose narrow element is that wide: the one asked for;
// unasked, 2:1 as the window draws it while the narrow element is 0.508 mm
// (0.020 in) or more, and 2.2 below that, as ISO/IEC 16388 asks of small
// modules.
double RatioFor(double narrowMillimetres, std::optional<double> ratio) noexcept;

// The widths of a symbol whose narrow element is `narrow` units of
// `unitMillimetres` each: the wide element is the fewest whole units that
// make the ratio at least RatioFor's.
ElementWidths WidthsOf(int narrow, double unitMillimetres, std::optional<double> ratio);

}  // namespace tallyline
