#pragma once

#include <QUrl>

// What the logo opens, through the desktop's own opener.
namespace tallyline::design {

inline const QUrl kWebPageAddress = QUrl(QStringLiteral("https://tallyline.example.org/"));

}  // namespace tallyline::design
