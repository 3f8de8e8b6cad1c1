#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "label/BarcodePicture.h"
#include "label/LabelFit.h"
#include "label/SymbolPicture.h"
#include "platform/files/PictureFormats.h"
#include "platform/picture/Turn.h"

namespace tallyline {

class PictureSurface;

// How a label's file is drawn.
struct FileSettings {
    PictureFormat format = PictureFormat::Png;
    // Each pixel of a PNG becomes scale x scale pixels.
    int scale = 1;
    // Modules of the picture's background that the file has left and right
    // of the bars; 0 keeps the picture as the window shows it.
    int quietZone = kStandardQuietZone;
    // What is asked beyond the window's picture. The narrow element's width
    // is for SVG and PDF, and for PNG on a grid; nothing: the window's.
    SymbolRules symbol;
    // Dots per inch of the grid that every element of the file lies on.
    std::optional<int> dotsPerInch;
};

// A file drawn in a look of its own: the grid its pixels lie on, in
// millimetres a pixel, and the look and turn of its symbol.
struct FileGrid {
    double millimetresPerPixel;
    SymbolLook look;
    Turn turn;
};

// The grid of a file whose settings ask for more than the window's picture:
// a grid, a ratio, a turn, a bar height, no caption, or (in SVG and PDF) a
// module below 0.508 mm, where the ratio is not the window's. On a grid of N
// dots per inch the module is the most whole dots not above the one asked
// for (else the window's); a PNG's pixel is otherwise the window's; an SVG
// or PDF otherwise draws on tenths of its module. Nothing for the window's
// picture.
std::optional<FileGrid> GridOf(const FileSettings& settings);

// The surface's barcode as a file: its pixels for PNG, its shapes for SVG
// and PDF, widened by the quiet zone on each side.
QByteArray LabelFile(const PictureSurface& surface, const FileSettings& settings);
// The same of a surface drawn on the grid, its quiet zones drawn, turned.
QByteArray LabelFile(const PictureSurface& surface, const FileSettings& settings, const FileGrid& grid);

// The size in pixels of the PNG file that LabelFile makes of the surface.
QSize PngSizeOf(const PictureSurface& surface, const FileSettings& settings);

// Saves the surface's barcode whole as the file that its name's suffix calls
// for, at the design's size with the standard quiet zone; the old file stays
// as it was on failure. std::invalid_argument naming the suffixes that do
// name a format for any other suffix, FileError when the file cannot be
// written.
void SaveLabel(const PictureSurface& surface, const QString& path);

}  // namespace tallyline
