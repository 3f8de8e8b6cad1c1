#pragma once

namespace tallyline::commandline {

// Puts /dev/null where standard input, output or error was closed when the
// program started, so that no file it opens later takes their place (a
// list read from "standard input" would be whatever that file was), and
// remembers which were closed. Call first.
void GuardStandardStreams();

// Whether the stream (0, 1 or 2) was closed when the program started.
bool WasClosed(int stream);

}  // namespace tallyline::commandline
