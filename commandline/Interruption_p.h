#pragma once

namespace tallyline::commandline {

// While it lives, SIGHUP, SIGINT and SIGTERM do not end the program at once
// but ask the work in hand to end between one file and the next, so that the
// files it is writing are finished or removed. A second such signal ends the
// program at once, as it would have.
class Interruption {
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // The signal that asked the work to end, or 0.
    static int Signal();
    // A descriptor that becomes readable when such a signal comes, for a
    // wait on input to end with; -1 while no Interruption lives.
    static int WakeDescriptor();
};

// The exit status of a program that a signal ended: 128 and its number.
int StatusOfSignal(int signal);

}  // namespace tallyline::commandline
