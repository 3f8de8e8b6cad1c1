#pragma once

#include <QByteArray>
#include <QString>

#include "label/LabelFiles.h"
#include "platform/core/Text.h"
#include "platform/picture/PictureSurface.h"

namespace tallyline {

// Draws texts as the window draws them, one after the other, on one surface
// designed as the window's barcode picture: a batch takes no more memory at
// its end than at its start.
class BarcodeDrawing {
public:
    explicit BarcodeDrawing(PictureSurface::Keeping keeping);
    // What a file of the format needs kept.
    explicit BarcodeDrawing(PictureFormat format);

    // Draws the text and returns the characters its bars leave out, empty
    // when they carry all. Raises std::invalid_argument for an empty text
    // and TextTooLong for one whose barcode no picture can hold.
    Text Draw(const QString& text);
    // The last drawing as a file.
    QByteArray File(const FileSettings& settings) const;
    const PictureSurface& Surface() const noexcept { return surface_; }

private:
    PictureSurface surface_;
};

}  // namespace tallyline
