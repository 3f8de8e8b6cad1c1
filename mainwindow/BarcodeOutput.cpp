#include "mainwindow/BarcodeOutput.h"

#include <QFileInfo>

#include "mainwindow/BarcodePicture.h"
#include "mainwindow/design/ErrorTexts.h"
#include "platform/core/RuntimeError.h"
#include "platform/qt/Clipboard.h"
#include "platform/qt/PictureFiles.h"

namespace tallyline {

void CopyPicture(const PictureSurface& source) {
    Clipboard::Clear();
    Clipboard::SetData(source.Image(), Clipboard::kBitmapFormat,
                       SvgFile(source.Shapes(), kDesignMillimetresPerPixel));
}

void PrintPicture(const PictureSurface& source, std::unique_ptr<frmPrint>& form, const PrinterSource& printers,
                  const QString& documentName) {
    if (!form) form = std::make_unique<frmPrint>();
    // The printer draws the shapes at its own resolution on the form's Picture1.
    form->FitPicture(source.Shapes());
    Printer printer(printers(), documentName);
    printer.PrintForm(*form, form->Picture1, source.Shapes(),
                      PrintedDotsPerPixel(printer.Resolution(), ModulePixels(source)));
    printer.EndDoc();
    form.reset();
}

void SavePicture(const PictureSurface& source, const QString& path) {
    const auto format = FormatOfName(path);
    if (!format) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall,
                           design::UnknownFormatNote(QFileInfo(path).fileName()).toStdString());
    }
    WriteWholeFile(path, PictureFile(source, *format, 1, kDesignMillimetresPerPixel));
}

}  // namespace tallyline
