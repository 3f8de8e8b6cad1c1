#pragma once

#include <QString>

// Where the window finds its pictures, its saved design data and its settings.
namespace tallyline::design {

inline const QString kIconResource = QStringLiteral(":/tallyline/icon.png");
inline const QString kLogoResource = QStringLiteral(":/tallyline/logo.png");
inline const QString kPointingHandResource = QStringLiteral(":/tallyline/pointing-hand.png");
// The saved properties of the window's controls, xpcmdbutton1's among them.
inline const QString kDesignDataResource = QStringLiteral(":/tallyline/frmBarCode.design");
inline const QString kXpcmdbutton1Name = QStringLiteral("xpcmdbutton1");
// Where the settings remember the folder that the last save went to.
inline const QString kSaveFolderSetting = QStringLiteral("SaveAs/Folder");

}  // namespace tallyline::design
