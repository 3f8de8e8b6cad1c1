#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "label/BarcodePicture.h"
#include "platform/files/PictureFormats.h"

namespace tallyline {

class PictureSurface;

// How a label's file is drawn.
struct FileSettings {
    PictureFormat format = PictureFormat::Png;
    // Each pixel of a PNG becomes scale x scale pixels.
    int scale = 1;
    // The narrow element's width in SVG and PDF; nothing: the window's.
    std::optional<double> moduleMillimetres;
    // Modules of the picture's background that the file has left and right
    // of the bars; 0 keeps the picture as the window shows it.
    int quietZone = kStandardQuietZone;
};

// The surface's barcode as a file: its pixels for PNG, its shapes for SVG
// and PDF, widened by the quiet zone on each side.
QByteArray LabelFile(const PictureSurface& surface, const FileSettings& settings);

// The size in pixels of the PNG file that LabelFile makes of the surface.
QSize PngSizeOf(const PictureSurface& surface, const FileSettings& settings);

// Saves the surface's barcode whole as the file that its name's suffix calls
// for, at the design's size with the standard quiet zone; the old file stays
// as it was on failure. std::invalid_argument naming the suffixes that do
// name a format for any other suffix, FileError when the file cannot be
// written.
void SaveLabel(const PictureSurface& surface, const QString& path);

}  // namespace tallyline
