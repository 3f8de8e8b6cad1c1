#pragma once

#include <QString>

namespace tallyline {

// Qt ends a program that finds no display with a fatal message and an abort.
// While a guard lives, the toolkit's messages are held back; a fatal one is
// replaced by the single line given, and the process exits with status 1.
// Without a failure the held messages are passed on when the guard ends.
// Create one around the construction of the application object.
class NoDisplayGuard {
public:
    explicit NoDisplayGuard(QString line);
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard&) = delete;
    NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;
};

}  // namespace tallyline
