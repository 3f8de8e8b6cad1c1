#include "label/BarcodeDrawing.h"

#include <stdexcept>
#include <utility>

#include "engine/CheckCharacter.h"
#include "engine/DrawBar.h"
#include "engine/UncarriedCharacters.h"
#include "label/BarcodePicture.h"
#include "platform/core/Failures.h"
#include "platform/picture/QtText.h"

namespace tallyline {

namespace {

Code39Form FormOf(const DrawingRules& rules) { return rules.fullAscii ? Code39Form::FullAscii : Code39Form::Standard; }

}  // namespace

UncarriedTextRefused::UncarriedTextRefused(Text characters)
    : std::invalid_argument("refused: the bars do not carry every character of the text"),
      characters_(std::move(characters)),
      fullAsciiCarriesSome_(UncarriedCharacters(characters_, Code39Form::FullAscii).size() < characters_.size()) {}

BarcodeDrawing::BarcodeDrawing(PictureSurface::Keeping keeping, DrawingRules rules)
    : surface_(keeping), rules_(rules) {
    DesignAsBarcodePicture(surface_);
}

BarcodeDrawing::BarcodeDrawing(PictureFormat format, DrawingRules rules)
    : BarcodeDrawing(format == PictureFormat::Png ? PictureSurface::Keeping::Pixels
                                                  : PictureSurface::Keeping::Shapes,
                     rules) {}

Text BarcodeDrawing::Draw(const QString& text) {
    if (text.isEmpty()) throw std::invalid_argument("the text is empty: there is no barcode to draw");
    const Text typed = ToText(text);
    Text uncarried = UncarriedCharacters(typed, FormOf(rules_));
    if (rules_.strict && !uncarried.empty()) throw UncarriedTextRefused(std::move(uncarried));
    Symbol symbol = SymbolOf(typed, FormOf(rules_));
    if (rules_.checkCharacter) {
        const char32_t check = CheckCharacter(symbol.data);
        symbol.data.push_back(check);
        symbol.caption.push_back(check);
    }
    try {
        DrawSymbol(symbol, surface_);
    } catch (const SizeOutOfRange&) {
        // The one limit a text of any length meets: the picture's width.
        throw TextTooLong();
    }
    return uncarried;
}

QByteArray BarcodeDrawing::File(const FileSettings& settings) const { return LabelFile(surface_, settings); }

}  // namespace tallyline
