#include "label/SymbolPicture.h"

#include <cmath>

#include "design/Fonts.h"
#include "engine/DrawBar.h"
#include "platform/core/Units.h"
#include "platform/picture/LaidOutText.h"
#include "platform/picture/PictureSurface.h"

namespace tallyline {

QFont CaptionFont(int narrow) {
    QFont font = design::FontOf(design::kDefaultFont);
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(double(font.pixelSize()) * narrow / DesignModulePixels()))));
    return font;
}

int CaptionBand(const SymbolLook& look) {
    if (!look.caption) return 0;
    return static_cast<int>(
        std::ceil(DesignMetrics(CaptionFont(look.widths.narrow)).height() * kBarBandCaptionHeights));
}

int SymbolWidth(long bars, const SymbolLook& look) {
    return static_cast<int>(bars + 2L * look.quietZone * look.widths.narrow);
}

void DrawLabelSymbol(const Symbol& symbol, const SymbolLook& look, PictureSurface& surface) {
    const std::vector<Element> elements = SymbolElements(symbol.data);
    const Text& caption = symbol.caption;
    const int width = SymbolWidth(SymbolUnits(elements, look.widths), look);
    const int height = look.barHeight + CaptionBand(look);
    surface.ScaleMode(ScaleModeKind::Pixels);
    surface.Font(CaptionFont(look.widths.narrow));
    // Sized before it is cleared: the background covers all of it.
    surface.Width(static_cast<float>(width) * kTwipsPerPixel);
    surface.Height(static_cast<float>(height) * kTwipsPerPixel);
    surface.Cls();
    const auto bar = static_cast<float>(look.barHeight);
    auto x = static_cast<float>(look.quietZone * look.widths.narrow);
    bool black = true;
    for (const Element element : elements) {
        const auto right = x + static_cast<float>(look.widths.Of(element));
        if (black) surface.Line(x, 0, right, bar, kBlack);
        x = right;
        black = !black;
    }
    if (!look.caption) return;
    const float captionHeight = surface.TextHeight(caption);
    surface.CurrentX((static_cast<float>(width) - surface.TextWidth(caption)) / 2);
    surface.CurrentY(bar + captionHeight * kCaptionGapCaptionHeights);
    surface.Print(caption);
}

}  // namespace tallyline
