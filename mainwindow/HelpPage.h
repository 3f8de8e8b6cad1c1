#pragma once

#include <QUrl>

namespace tallyline {

// What the logo opens, through the desktop's own opener: the program's help
// page, the one installed with it or, for a program run from its build tree,
// the build's copy.
QUrl HelpPage();

}  // namespace tallyline
