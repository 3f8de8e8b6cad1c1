#pragma once

#include <thread>

namespace tallyline {

// Finds the free faces that stand in for the designs' families on a thread
// of its own, begun before the toolkit: the system's font configuration is
// read, and the faces matched, while the toolkit connects to the display and
// loads its plugins, rather than after, when the first window lays out its
// texts. The window then takes the configuration as already read. Where the
// platform keeps no such configuration it does nothing.
class FaceLoading {
public:
    FaceLoading();
    // Waits for the thread: the toolkit frees the configuration at its end.
    ~FaceLoading();
    FaceLoading(const FaceLoading&) = delete;
    FaceLoading& operator=(const FaceLoading&) = delete;

private:
    std::thread thread_;
};

}  // namespace tallyline
