#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

// What the logo opens, through the desktop's own opener: the program's help
// page, the one installed with it or, for a program run from its build tree,
// the build's copy.
namespace tallyline::design {

inline QUrl HelpPage() {
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                              QStringLiteral(TALLYLINE_HELP_PAGE_FROM_PROGRAM));
    return QUrl::fromLocalFile(QFileInfo::exists(installed) ? installed : QStringLiteral(TALLYLINE_BUILT_HELP_PAGE));
}

}  // namespace tallyline::design
