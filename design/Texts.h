#pragma once

#include <QString>
#include <QStringList>

#include "design/Geometry.h"

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
// What the text box's tooltip and screen readers say of the characters of
// its text that have no bars, each as the caption shows it.
inline QString UncarriedNote(QStringList characters) {
    const QString last = characters.takeLast();
    if (characters.isEmpty()) return QStringLiteral("%1 has no bars and is left out of the barcode").arg(last);
    return QStringLiteral("%1 and %2 have no bars and are left out of the barcode")
        .arg(characters.join(QStringLiteral(", ")), last);
}
// What they say once the text box has refused a character for its length.
inline const QString kText1LimitNote =
    QStringLiteral("The text holds at most %1 characters: what was typed past them was left out").arg(kText1MaxLength);
// Only the top line shows; the window's bottom edge hides the rest.
inline const QString kLabel2Caption = QStringLiteral("Tested with an independent barcode decoder");
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
// `caption` is the text as the caption shows it, `carried` what its bars carry.
inline QString BarcodeDescription(const QString& caption, const QString& carried) {
    if (caption.isEmpty()) return QStringLiteral("Empty: type a text to draw its barcode");
    const QString description = QStringLiteral("Code 39 barcode of \"%1\"").arg(caption);
    if (carried == caption) return description;
    return description + QStringLiteral(": its bars carry only \"%1\"").arg(carried);
}

}  // namespace tallyline::design
