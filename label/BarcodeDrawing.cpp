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

UncarriedTextRefused::UncarriedTextRefused(Text characters)
    : std::invalid_argument("refused: the bars do not carry every character of the text"),
      characters_(std::move(characters)) {}

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
    Text drawn = ToText(text);
    Text uncarried = UncarriedCharacters(drawn);
    if (rules_.strict && !uncarried.empty()) throw UncarriedTextRefused(std::move(uncarried));
    if (rules_.checkCharacter) drawn.push_back(CheckCharacter(drawn));
    try {
        DrawBarcode(drawn, surface_);
    } catch (const SizeOutOfRange&) {
        // The one limit a text of any length meets: the picture's width.
        throw TextTooLong();
    }
    return uncarried;
}

QByteArray BarcodeDrawing::File(const FileSettings& settings) const { return LabelFile(surface_, settings); }

}  // namespace tallyline
