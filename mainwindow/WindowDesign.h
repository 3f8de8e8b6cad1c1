#pragma once

#include <QRect>
#include <QString>

#include "Colour.h"
#include "DesignFont.h"
#include "Units.h"

// The design values of the two windows: where every control stands, how it
// looks and what it says. Positions and sizes are twips, as designed; the
// pixel values at 15 twips a pixel follow in the comments.
namespace tallyline::design {

struct TwipsRect {
    int left, top, width, height;
};

inline QRect ToPixels(TwipsRect rect) noexcept {
    return QRect(DesignPixels(rect.left), DesignPixels(rect.top), DesignPixels(rect.width), DesignPixels(rect.height));
}

struct FontDesign {
    const char* family;
    double points;
    int weight;
};

inline QFont FontOf(FontDesign font) {
    return DesignFont(QString::fromLatin1(font.family), font.points, font.weight);
}

// frmBarCode
inline const QString kCaption = QStringLiteral(" Tallyline");
constexpr TwipsRect kFormClient{150, 1755, 7785, 3195};     // 10, 117, 519 x 213
constexpr Colour kFormBackColor = RGB(212, 208, 200);
constexpr Colour kGrey = RGB(128, 128, 128);
// Neither the window nor the picture box names a font; this is the one they get.
constexpr FontDesign kDefaultFont{"MS Sans Serif", 8.25, 400};

constexpr TwipsRect kPicture1{120, 720, 615, 1335};          // 8, 48, 41 x 89
constexpr TwipsRect kText1{2400, 120, 3735, 420};            // 160, 8, 249 x 28
constexpr TwipsRect kPicture2{30, 600, 7695, 1695};          // 2, 40, 513 x 113
constexpr TwipsRect kPicture3{1380, 2566, 3735, 330};        // 92, 171, 249 x 22
constexpr TwipsRect kLabel2{1320, 2910, 3855, 735};          // 88, 194, 257 x 49
constexpr TwipsRect kLabel3{1440, 2325, 3330, 240};          // 96, 155, 222 x 16
constexpr TwipsRect kLabel1{720, 165, 1470, 255};            // 48, 11, 98 x 17
constexpr TwipsRect kXpcmdbutton1{5760, 2520, 1455, 495};    // 384, 168, 97 x 33

constexpr int kText1MaxLength = 23;
// Ten characters that all have bars, so the first barcode is whole.
inline const QString kSampleText = QStringLiteral("TALLY-2026");
constexpr FontDesign kText1Font{"Comic Sans MS", 11.25, 400};
// A text that the bars do not carry whole turns this colour, and its tooltip
// names the characters.
constexpr Colour kUncarriedTextColor = RGB(204, 0, 0);
inline QString UncarriedNote(const QString& characters) {
    return QStringLiteral("A scanner will not read these characters from the bars: %1").arg(characters);
}

// Only the top line shows; the window's bottom edge hides the rest.
inline const QString kLabel2Caption =
    QStringLiteral("Tested with an independent barcode decoder");
inline const QString kLabel3Caption = QStringLiteral("Right-Click to Copy to Clipboard");
constexpr FontDesign kLabel3Font{"MS Sans Serif", 9.75, 700};
inline const QString kLabel1Caption = QStringLiteral("BarCode Text :");
constexpr FontDesign kLabel1Font{"Arial", 11.25, 400};

inline const QString kCopyCaption = QStringLiteral("Copy to Clipboard");
inline const QString kPrintCaption = QStringLiteral("Print");
// What the printer's queue shows for a print of the text.
inline QString PrintDocumentName(const QString& text) { return QStringLiteral("Tallyline: ") + text; }
inline const QString kSaveAsCaption = QStringLiteral("Save As...");
// The save dialog's title and its filters, one a format, PNG first.
inline const QString kSaveAsTitle = QStringLiteral("Save Barcode As");
inline const QString kPngFilter = QStringLiteral("PNG image (*.png)");
inline const QString kSvgFilter = QStringLiteral("SVG image (*.svg)");
inline const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");
// Where the settings remember the folder that the last save went to.
inline const QString kSaveFolderSetting = QStringLiteral("SaveAs/Folder");

inline const QString kWebPageAddress = QStringLiteral("https://tallyline.example.org/");
#ifdef Q_OS_WIN
inline const QString kWebBrowserCommand = QStringLiteral("explorer");
#else
inline const QString kWebBrowserCommand = QStringLiteral("xdg-open");
#endif

inline const QString kIconResource = QStringLiteral(":/tallyline/icon.png");
inline const QString kLogoResource = QStringLiteral(":/tallyline/logo.png");
inline const QString kPointingHandResource = QStringLiteral(":/tallyline/pointing-hand.png");
// The saved properties of the window's controls, xpcmdbutton1's among them.
inline const QString kDesignDataResource = QStringLiteral(":/tallyline/frmBarCode.design");
inline const QString kXpcmdbutton1Name = QStringLiteral("xpcmdbutton1");
// The fingertip of the pointing hand.
constexpr int kPointingHandHotX = 10;
constexpr int kPointingHandHotY = 1;

// frmPrint
inline const QString kPrintFormCaption = QStringLiteral("Form1");
constexpr TwipsRect kPrintClient{0, 0, 9915, 3060};          // 661 x 204
constexpr TwipsRect kPrintPicture1{120, 240, 9495, 1935};    // 8, 16, 633 x 129

// What the user is told failed.
inline const QString kDrawAction = QStringLiteral("Drawing the barcode");
inline const QString kCopyAction = QStringLiteral("Copying the barcode to the clipboard");
inline const QString kPrintAction = QStringLiteral("Printing the barcode");
inline const QString kSaveAction = QStringLiteral("Saving the barcode");
inline QString UnknownFormatNote(const QString& fileName) {
    return QStringLiteral("%1 names no format the barcode is saved as: use .png, .svg or .pdf").arg(fileName);
}
inline const QString kMenuAction = QStringLiteral("Opening the menu");
inline const QString kWebPageAction = QStringLiteral("Opening the web page");
inline const QString kRestoreAction = QStringLiteral("Restoring the window's saved design data");

// What the keyboard and screen readers get beyond the design.
inline const QString kXpcmdbutton1AccessKeys = QStringLiteral("C");  // Alt+C
inline const QString kText1AccessibleName = QStringLiteral("Barcode text");
inline const QString kPicture1AccessibleName = QStringLiteral("Barcode");
inline const QString kPicture3AccessibleName = QStringLiteral("Open the web page");
// `encoded` is the text as the caption shows it; `uncarried` is empty or the
// note of the characters the bars leave out.
inline QString BarcodeDescription(const QString& encoded, const QString& uncarried) {
    if (encoded.isEmpty()) return QStringLiteral("Empty: type a text to draw its barcode");
    const QString description = QStringLiteral("Code 39 barcode of \"%1\"").arg(encoded);
    return uncarried.isEmpty() ? description : description + QStringLiteral(". ") + uncarried;
}

}  // namespace tallyline::design
