#pragma once

#include <QString>
#include <QStringList>

namespace tallyline {

// Starts a program on its own, with each argument passed as it stands and no
// command interpreter in between, and returns at once: nothing is awaited.
// FileNotFound when the program cannot be started.
void Shell(const QString& program, const QStringList& arguments);

}  // namespace tallyline
