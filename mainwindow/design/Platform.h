#pragma once

#include <QString>

// What the logo opens, and the platform's own command that opens it.
namespace tallyline::design {

inline const QString kWebPageAddress = QStringLiteral("https://tallyline.example.org/");
#ifdef Q_OS_WIN
inline const QString kWebBrowserCommand = QStringLiteral("explorer");
#else
inline const QString kWebBrowserCommand = QStringLiteral("xdg-open");
#endif

}  // namespace tallyline::design
