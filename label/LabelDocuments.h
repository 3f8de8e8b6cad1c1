#pragma once

#include <QByteArrayView>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "label/BarcodeDrawing.h"
#include "label/LabelFit.h"
#include "platform/printing/Printer.h"
#include "stock/LabelTemplate.h"

namespace tallyline {

// Labels of the command line, one text each, in one document: a job for a
// printer or a PDF file. The symbol of each is drawn in whole dots of the
// printer (a PDF's dots are its resolution), fitted to its label.
class LabelDocument {
public:
    virtual ~LabelDocument() = default;
    // Prints the text's label and returns the characters that its bars leave
    // out. What BarcodeDrawing refuses, and PrinterError for a symbol that
    // does not fit, print nothing.
    virtual Text Print(const QString& text) = 0;
    // Sends the document whole, as Printer::EndDoc does: why its job waits
    // in the queue, if it does.
    virtual QString End() = 0;
    // Ends the document and hands it over whole, as Printer::EndDoc does.
    virtual void End(const std::function<void(QByteArrayView)>& take) = 0;
};

// A page for each label. The page is the printer's medium, or paper of that
// size; with neither (a PDF without a size), each page is the symbol with its
// quiet zones at the widest module, its bars as high as the window's at that
// module unless the rules set them. With `asTheWindow`, a page that holds the
// window's print form prints the barcode where the window prints it, unless
// the rules ask for more than the window's look.
std::unique_ptr<LabelDocument> LabelsOnPages(const PrinterSource& printers, const QString& documentName,
                                             const DrawingRules& drawing, const SymbolRules& symbol,
                                             std::optional<QSizeF> paperMillimetres, bool asTheWindow);

// The labels of sheets of the template, each page a sheet of its paper, from
// its `first` label (from 0) on the first sheet, row by row, top-left first;
// each label's outline drawn on every sheet when asked. The printer is told
// the paper.
std::unique_ptr<LabelDocument> LabelsOnSheets(const PrinterSource& printers, const QString& documentName,
                                              const DrawingRules& drawing, const SymbolRules& symbol,
                                              const LabelTemplate& sheet, int first, bool outlines);

}  // namespace tallyline
