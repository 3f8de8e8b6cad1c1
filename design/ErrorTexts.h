#pragma once

#include <QString>

// What the user is told failed: the action asked for, completed by the reason.
namespace tallyline::design {

inline const QString kDrawAction = QStringLiteral("Drawing the barcode");
inline const QString kCopyAction = QStringLiteral("Copying the barcode to the clipboard");
inline const QString kPrintAction = QStringLiteral("Printing the barcode");
inline const QString kSaveAction = QStringLiteral("Saving the barcode");
// `suffixes` lists the suffixes that do name a format.
inline QString UnknownFormatNote(const QString& fileName, const QString& suffixes) {
    return QStringLiteral("%1 names no format the barcode is saved as: use %2").arg(fileName, suffixes);
}
// A label on which the barcode would not fit even at the finest module a
// printer may give it: what the label measures, and what it would need.
inline QString LabelTooSmallNote(const QString& measure, double needed, double label) {
    return QStringLiteral(
               "The barcode does not fit on this label: it needs a label at least %1 mm %2, and this one "
               "is %3 mm")
        .arg(needed, 0, 'f', 1)
        .arg(measure)
        .arg(label, 0, 'f', 1);
}
// A label whose shape (round, oval, a CD's ring) holds no rectangle that
// the barcode fits in, even at the finest module.
inline QString ShapeTooSmallNote(double finestModule) {
    return QStringLiteral(
               "The barcode does not fit inside this label's shape, even with modules of %1 mm; nothing "
               "was printed")
        .arg(finestModule, 0, 'f', 2);
}
inline const QString kMenuAction = QStringLiteral("Opening the menu");
inline const QString kHelpPageAction = QStringLiteral("Opening the help page");
inline const QString kRestoreAction = QStringLiteral("Restoring the window's saved design data");

}  // namespace tallyline::design
