#include "commandline/StandardStreams_p.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tallyline::commandline {
namespace {

bool closed[3] = {};

}  // namespace

void GuardStandardStreams() {
    for (int stream = 0; stream < 3; ++stream) {
        if (fcntl(stream, F_GETFD) != -1 || errno != EBADF) continue;
        closed[stream] = true;
        // Opened in order, the lowest free descriptor is this one.
        const int placeholder = open("/dev/null", stream == 0 ? O_RDONLY : O_WRONLY);
        if (placeholder != stream && placeholder >= 0) close(placeholder);
    }
}

bool WasClosed(int stream) { return stream >= 0 && stream < 3 && closed[stream]; }

}  // namespace tallyline::commandline
