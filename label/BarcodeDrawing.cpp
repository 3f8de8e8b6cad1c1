#include "label/BarcodeDrawing.h"

#include <stdexcept>

#include "engine/DrawBar.h"
#include "engine/UncarriedCharacters.h"
#include "label/BarcodePicture.h"
#include "platform/core/Failures.h"
#include "platform/picture/QtText.h"

namespace tallyline {

BarcodeDrawing::BarcodeDrawing(PictureSurface::Keeping keeping) : surface_(keeping) {
    DesignAsBarcodePicture(surface_);
}

BarcodeDrawing::BarcodeDrawing(PictureFormat format)
    : BarcodeDrawing(format == PictureFormat::Png ? PictureSurface::Keeping::Pixels
                                                  : PictureSurface::Keeping::Shapes) {}

Text BarcodeDrawing::Draw(const QString& text) {
    if (text.isEmpty()) throw std::invalid_argument("the text is empty: there is no barcode to draw");
    const Text drawn = ToText(text);
    try {
        DrawBarcode(drawn, surface_);
    } catch (const SizeOutOfRange&) {
        // The one limit a text of any length meets: the picture's width.
        throw TextTooLong();
    }
    return UncarriedCharacters(drawn);
}

QByteArray BarcodeDrawing::File(const FileSettings& settings) const { return LabelFile(surface_, settings); }

}  // namespace tallyline
