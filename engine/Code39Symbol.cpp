#include "engine/Code39Symbol.h"

#include <cmath>

#include "engine/Code39Lookup_p.h"

namespace tallyline {
namespace {

constexpr double kSmallModuleMillimetres = 0.508;
constexpr double kSmallModuleRatio = 2.2;
// Room for the rounding of lengths made of decimals: 6 dots at 300 dpi are
// 0.508 mm, and a ratio of 2.2 over 5 units is 11, not a hair more.
constexpr double kTolerance = 1e-9;

}  // namespace

std::vector<ElementPattern> SymbolPatterns(TextView drawn) {
    constexpr Code39Patterns kTable = Code39Table();
    std::vector<ElementPattern> patterns;
    patterns.reserve(drawn.size() + 2);
    patterns.push_back(kStartStopPattern);
    for (const char32_t character : drawn) patterns.push_back(PatternOf(kTable, character));
    patterns.push_back(kStartStopPattern);
    return patterns;
}

std::vector<Element> SymbolElements(TextView drawn) {
    std::vector<Element> elements;
    elements.reserve((drawn.size() + 2) * 10);
    for (const ElementPattern pattern : SymbolPatterns(drawn)) {
        // Each digit brings the space in front of its bar, a blank widening it.
        bool widened = false;
        for (const char symbol : pattern) {
            if (symbol == ' ') {
                widened = true;
                continue;
            }
            elements.push_back(widened ? Element::Wide : Element::Narrow);
            elements.push_back(symbol == '2' ? Element::Wide : Element::Narrow);
            widened = false;
        }
    }
    // The start character's leading space is the margin, not an element.
    elements.erase(elements.begin());
    return elements;
}

long SymbolUnits(std::span<const Element> elements, ElementWidths widths) noexcept {
    long units = 0;
    for (const Element element : elements) units += widths.Of(element);
    return units;
}

double RatioFor(double narrowMillimetres, std::optional<double> ratio) noexcept {
    const bool small = narrowMillimetres < kSmallModuleMillimetres - kTolerance;
    return ratio.value_or(small ? kSmallModuleRatio : kNarrowestRatio);
}

ElementWidths WidthsOf(int narrow, double unitMillimetres, std::optional<double> ratio) {
    const double least = RatioFor(narrow * unitMillimetres, ratio);
    return {narrow, static_cast<int>(std::ceil(narrow * least - kTolerance))};
}

}  // namespace tallyline
