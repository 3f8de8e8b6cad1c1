#pragma once

#include <QByteArray>
#include <QString>

#include "commandline/CommandLine_p.h"
#include "platform/core/Text.h"
#include "platform/qt/PictureSurface.h"

namespace tallyline::commandline {

// Draws texts as the window draws them, one after the other, on one surface
// designed as the window's barcode picture: a batch takes no more memory at
// its end than at its start.
class BarcodeDrawing {
public:
    explicit BarcodeDrawing(PictureSurface::Keeping keeping);
    // What a file of the format needs kept.
    explicit BarcodeDrawing(PictureFormat format);

    // Draws the text and returns the characters its bars leave out, empty
    // when they carry all. Raises a std::exception that says what failed for
    // a text that cannot be drawn: an empty one, or one too long.
    Text Draw(const QString& text);
    // The last drawing as a file.
    QByteArray File(const FileSettings& settings) const;
    const PictureSurface& Surface() const noexcept { return surface_; }

private:
    PictureSurface surface_;
};

// The characters, quoted, with those that would not show spelt out as U+
// and their number.
QString Named(TextView characters);

}  // namespace tallyline::commandline
