#include "engine/DrawBar.h"

#include <cstddef>
#include <cstdint>

#include "engine/Code39Symbol.h"
#include "platform/core/CodePage.h"
#include "platform/core/Numeric.h"

namespace tallyline {
namespace {

constexpr std::int16_t kHeightPerModule = 40;
// The start and stop characters around the text's own.
constexpr std::size_t kStartAndStop = 2;
// Room for the first sizing: 1.1 times 15 modules per character, where each
// character needs at most 13.
constexpr double kFirstSizingSlack = 1.1;
constexpr std::int16_t kFirstSizingModules = 15;

// Boxes go strictly left to right, each starting where the last one ended.
class BarPen {
public:
    BarPen(DrawingSurface& surface, float x, float top, float bottom, std::int16_t module)
        : surface_(surface), x_(x), top_(top), bottom_(bottom), module_(module) {}

    void Space(std::int16_t modules) { Box(modules, kWhite); }
    void Bar(std::int16_t modules) { Box(modules, kBlack); }
    float X() const { return x_; }

    void Draw(ElementPattern pattern) {
        for (const char symbol : pattern) {
            switch (symbol) {
            case ' ': Space(1); break;
            case '1':
                Space(1);
                Bar(1);
                break;
            case '2':
                Space(1);
                Bar(2);
                break;
            default: break;
            }
        }
    }

private:
    void Box(std::int16_t modules, Colour colour) {
        const float right = x_ + static_cast<float>(Mul16(modules, module_));
        surface_.Line(x_, top_, right, bottom_, colour);
        x_ = right;
    }

    DrawingSurface& surface_;
    float x_;
    const float top_;
    const float bottom_;
    const std::int16_t module_;
};

}  // namespace

std::int16_t ModuleWidth(float scaleHeight) {
    const std::int16_t module = CInt(static_cast<double>(scaleHeight) / kHeightPerModule);
    return module < 1 ? std::int16_t{1} : module;
}

Text BarcodeCaption(TextView text) { return codepage::UCase(text); }

void DrawBarcode(Text text, DrawingSurface& surface) { DrawSymbol(SymbolOf(text, Code39Form::Standard), surface); }

void DrawSymbol(const Symbol& symbol, DrawingSurface& surface) {
    if (symbol.caption.empty() && symbol.data.empty()) {
        surface.Cls();
        return;
    }
    const Text& caption = symbol.caption;
    surface.ScaleMode(ScaleModeKind::Pixels);
    surface.Cls();
    surface.RemovePicture();

    const std::int16_t module = ModuleWidth(surface.ScaleHeight());
    const float captionHeight = surface.TextHeight(caption);
    const float captionWidth = surface.TextWidth(caption);
    const float barTop = surface.ScaleTop();
    const float surfaceHeight = surface.ScaleHeight();
    const float barBottom = (surface.ScaleTop() + surfaceHeight) - captionHeight * kBarBandCaptionHeights;

    // Each read of the surface is its own statement: the order of the calls
    // is part of what the renderer promises.
    const double length = static_cast<double>(symbol.data.size() + kStartAndStop);
    const double firstPixels = (length * kFirstSizingSlack) * Mul16(kFirstSizingModules, module);
    const double firstUnits = firstPixels * static_cast<double>(surface.Width());
    surface.Width(CSng(Divide(firstUnits, surface.ScaleWidth())));

    BarPen pen(surface, surface.ScaleLeft(), barTop, barBottom, module);
    for (const ElementPattern pattern : SymbolPatterns(symbol.data)) pen.Draw(pattern);
    pen.Space(1);

    const float fittedRight = pen.X() + static_cast<float>(module);
    const double fittedUnits = static_cast<double>(fittedRight) * static_cast<double>(surface.Width());
    surface.Width(CSng(Divide(fittedUnits, surface.ScaleWidth())));
    surface.CurrentX((surface.ScaleWidth() - captionWidth) / 2);
    surface.CurrentY(barBottom + captionHeight * kCaptionGapCaptionHeights);
    surface.Print(caption);
}

}  // namespace tallyline
