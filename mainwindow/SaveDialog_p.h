#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace tallyline {

// Asks where to save the barcode of a text: the platform's save dialog with
// a filter for each format, a file name made from the text and the folder
// that the last save went to. Nothing when the user cancels.
std::optional<QString> AskSavePath(QWidget* parent, const QString& text);

// Remembers the folder of a saved file for the next save.
void RememberSaveFolder(const QString& savedPath);

}  // namespace tallyline
