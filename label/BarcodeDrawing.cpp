#include "label/BarcodeDrawing.h"

#include <stdexcept>
#include <utility>

#include "engine/CheckCharacter.h"
#include "engine/DrawBar.h"
#include "engine/UncarriedCharacters.h"
#include "label/BarcodePicture.h"
#include "label/SymbolPicture.h"
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

BarcodeDrawing::BarcodeDrawing(PictureSurface::Keeping keeping, DrawingRules rules) : surface_(keeping), rules_(rules) {
    DesignAsBarcodePicture(surface_);
}

BarcodeDrawing::BarcodeDrawing(const FileSettings& settings, DrawingRules rules)
    : BarcodeDrawing(
          settings.format == PictureFormat::Png ? PictureSurface::Keeping::Pixels : PictureSurface::Keeping::Shapes,
          rules) {
    grid_ = GridOf(settings);
}

EncodedText BarcodeDrawing::Encode(const QString& text) const {
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
    return {std::move(symbol), std::move(uncarried)};
}

Text BarcodeDrawing::Draw(const QString& text) {
    EncodedText encoded = Encode(text);
    if (grid_) {
        Draw(encoded, grid_->look);
        return std::move(encoded.uncarried);
    }
    // A look drew on a surface of its own size and font: the window's picture
    // takes its design again.
    if (looked_) {
        DesignAsBarcodePicture(surface_);
        looked_ = false;
    }
    try {
        DrawSymbol(encoded.symbol, surface_);
    } catch (const SizeOutOfRange&) {
        // The one limit a text of any length meets: the picture's width.
        throw TextTooLong();
    }
    return std::move(encoded.uncarried);
}

void BarcodeDrawing::Draw(const EncodedText& text, const SymbolLook& look) {
    looked_ = true;
    try {
        DrawLabelSymbol(text.symbol, look, surface_);
    } catch (const SizeOutOfRange&) {
        throw TextTooLong();
    }
}

QByteArray BarcodeDrawing::File(const FileSettings& settings) const {
    return grid_ ? LabelFile(surface_, settings, *grid_) : LabelFile(surface_, settings);
}

}  // namespace tallyline
