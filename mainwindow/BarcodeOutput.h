#pragma once

#include <QString>

#include <memory>

#include "mainwindow/frmPrint.h"
#include "platform/qt/PictureSurface.h"
#include "platform/qt/Printer.h"

namespace tallyline {

// Empties the clipboard, then places the surface's image on it as a bitmap,
// the whole image at its current size (also what the window cuts off), and
// the same picture as SVG.
void CopyPicture(const PictureSurface& source);

// Prints the surface's image on one page of its own document, named for the
// printer's queue, through the print form: loaded here unless a failed print
// left it loaded, and unloaded once the page has gone to the printer. The
// image goes as shapes, every module a whole number of printer dots.
void PrintPicture(const PictureSurface& source, std::unique_ptr<frmPrint>& form, const PrinterSource& printers,
                  const QString& documentName);

// Saves the surface's image whole as the file that its name's suffix calls
// for (PNG, SVG or PDF) at the design's size; the old file stays as it was on
// failure. InvalidProcedureCall for any other suffix, FileError when the file
// cannot be written.
void SavePicture(const PictureSurface& source, const QString& path);

}  // namespace tallyline
