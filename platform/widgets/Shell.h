#pragma once

#include <QUrl>

namespace tallyline {

// Opens the address as the desktop opens it (a page in the user's
// browser) and returns at once: nothing is awaited. FileNotFound when the
// desktop has nothing to open it with.
void Shell(const QUrl& address);

}  // namespace tallyline
