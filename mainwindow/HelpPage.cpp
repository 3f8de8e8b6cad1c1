#include "mainwindow/HelpPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tallyline {

QUrl HelpPage() {
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                              QStringLiteral(TALLYLINE_HELP_PAGE_FROM_PROGRAM));
    return QUrl::fromLocalFile(QFileInfo::exists(installed) ? installed : QStringLiteral(TALLYLINE_BUILT_HELP_PAGE));
}

}  // namespace tallyline
