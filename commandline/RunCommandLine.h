#pragma once

namespace tallyline::commandline {

// Carries out a command line that has arguments: writes files or prints, on
// no display at all, and returns the exit status (0 all done, 1 something
// failed, 2 a usage error). Nothing it does needs a window.
int RunCommandLine(int argc, char* argv[]);

}  // namespace tallyline::commandline
