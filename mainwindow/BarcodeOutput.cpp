#include "BarcodeOutput.h"


#include "Clipboard.h"

namespace tallyline {

void CopyPicture(const PictureBox& source) {
    Clipboard::Clear();
    Clipboard::SetData(source.Image(), Clipboard::kBitmapFormat);
}

void PrintPicture(const PictureBox& source, std::unique_ptr<frmPrint>& form,
                  const PrinterSource& printers) {
    if (!form) form = std::make_unique<frmPrint>();
    form->ShowPicture(source.Image());
    Printer printer(printers());
    printer.PrintForm(*form);
    printer.EndDoc();
    form.reset();
}

}  // namespace tallyline
