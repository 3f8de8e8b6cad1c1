#pragma once

#include <QByteArray>

#include "platform/picture/StdPicture.h"

namespace tallyline {

class PictureSurface;

// What a copy of the barcode places on the clipboard: the whole image at its
// current size as a bitmap (also what the window cuts off), and the same
// picture as SVG.
struct ClipboardLabel {
    StdPicture bitmap;
    QByteArray svg;
};

ClipboardLabel LabelForClipboard(const PictureSurface& surface);

}  // namespace tallyline
