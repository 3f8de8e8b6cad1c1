#pragma once

#include <memory>

#include "PictureBox.h"
#include "Printer.h"
#include "frmPrint.h"

namespace tallyline {

// Empties the clipboard, then places the picture box's image on it as a
// bitmap: the whole image at its current size, also what the window cuts off.
void CopyPicture(const PictureBox& source);

// Prints the picture box's image on one page of its own document through the
// print form: loaded here unless a failed print left it loaded, and unloaded
// once the page has gone to the printer.
void PrintPicture(const PictureBox& source, std::unique_ptr<frmPrint>& form,
                  const PrinterSource& printers);

}  // namespace tallyline
