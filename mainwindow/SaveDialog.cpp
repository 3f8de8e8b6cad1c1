#include "mainwindow/SaveDialog_p.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "design/Resources.h"
#include "design/Texts.h"
#include "label/SafeFileNames.h"
#include "platform/files/PictureFormats.h"

namespace tallyline {
namespace {

QString LastFolder() {
    const QString folder = QSettings().value(design::kSaveFolderSetting).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

}  // namespace

std::optional<QString> AskSavePath(QWidget* parent, const QString& text) {
    QFileDialog dialog(parent, design::kSaveAsTitle);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const PictureFormatName& name : kPictureFormats) filters.append(SaveFilterOf(name.format));
    dialog.setNameFilters(filters);
    // A name typed without a suffix takes the chosen filter's.
    const QString png = SuffixOf(PictureFormat::Png);
    dialog.setDefaultSuffix(png);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
        for (const PictureFormatName& name : kPictureFormats) {
            if (SaveFilterOf(name.format) == chosen) dialog.setDefaultSuffix(SuffixOf(name.format));
        }
    });
    dialog.setDirectory(LastFolder());
    dialog.selectFile(SafeFileStem(text) + QChar(u'.') + png);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void RememberSaveFolder(const QString& savedPath) {
    QSettings().setValue(design::kSaveFolderSetting, QFileInfo(savedPath).absolutePath());
}

}  // namespace tallyline
