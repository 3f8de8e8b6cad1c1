#pragma once

#include <QString>

// Everything the windows say, in US English: captions, menus, notes, what a
// screen reader hears and what the user is told failed.
namespace tallyline::design {

// The program's name as a user types it, which starts each line that it
// writes to standard error, as GNU tools do.
inline const QString kProgram = QStringLiteral("tallyline");

// frmBarCode
inline const QString kCaption = QStringLiteral(" Tallyline");
// Ten characters that all have bars, so the first barcode is whole.
inline const QString kSampleText = QStringLiteral("TALLY-2026");
// The tooltip of a text that the bars do not carry whole.
inline QString UncarriedNote(const QString& characters) {
    return QStringLiteral("A scanner will not read these characters from the bars: %1").arg(characters);
}
// Only the top line shows; the window's bottom edge hides the rest.
inline const QString kLabel2Caption =
    QStringLiteral("Tested with an independent barcode decoder");
inline const QString kLabel3Caption = QStringLiteral("Right-Click to Copy to Clipboard");
inline const QString kLabel1Caption = QStringLiteral("BarCode Text :");

inline const QString kCopyCaption = QStringLiteral("Copy to Clipboard");
inline const QString kPrintCaption = QStringLiteral("Print");
inline const QString kSaveAsCaption = QStringLiteral("Save As...");
// What the printer's queue shows for a print of the text.
inline QString PrintDocumentName(const QString& text) { return QStringLiteral("Tallyline: ") + text; }
// The save dialog's title; its filters are the formats' own.
inline const QString kSaveAsTitle = QStringLiteral("Save Barcode As");

// frmPrint
inline const QString kPrintFormCaption = QStringLiteral("Form1");

// What the keyboard and screen readers get beyond the design.
inline const QString kXpcmdbutton1AccessKeys = QStringLiteral("C");  // Alt+C
inline const QString kText1AccessibleName = QStringLiteral("Barcode text");
inline const QString kPicture1AccessibleName = QStringLiteral("Barcode");
// The panel holds nothing, but is a tab stop: whoever reaches it hears what it is.
inline const QString kPicture2AccessibleName = QStringLiteral("Barcode panel");
inline const QString kPicture3AccessibleName = QStringLiteral("Open the help page");
// `encoded` is the text as the caption shows it; `uncarried` is empty or the
// note of the characters the bars leave out.
inline QString BarcodeDescription(const QString& encoded, const QString& uncarried) {
    if (encoded.isEmpty()) return QStringLiteral("Empty: type a text to draw its barcode");
    const QString description = QStringLiteral("Code 39 barcode of \"%1\"").arg(encoded);
    return uncarried.isEmpty() ? description : description + QStringLiteral(". ") + uncarried;
}

}  // namespace tallyline::design
