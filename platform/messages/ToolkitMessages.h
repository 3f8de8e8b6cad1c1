#pragma once

#include <QString>

// The toolkit writes notes on its surroundings to standard error (no session
// bus, no runtime folder), and ends a program that finds no display with a
// fatal message and an abort. Each front end decides which of them its user
// reads; one handler carries out whichever policy is in force.
namespace tallyline {

// From now on, for the rest of the process, only critical and fatal messages
// are written, as they come; the rest are dropped.
void WriteOnlyCriticalMessages();

// While a HeldMessages lives, every message is held back; a fatal one is
// replaced by the single line given, and the process exits with status 1.
// Without a failure the held messages are written, in order, when it ends,
// and the policy before it is back. Create one around the construction of
// the application object; one at a time.
class HeldMessages {
public:
    explicit HeldMessages(const QString& fatalLine);
    ~HeldMessages();
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;
};

}  // namespace tallyline
