#pragma once

#include <thread>

namespace tallyline {

// Reads the system's font configuration, and tells it which free faces stand
// in for the designs' families, on a thread of its own begun before the
// toolkit: the configuration is read while the toolkit connects to the
// display and loads its plugins, rather than after, when the first window
// lays out its texts. The first design font waits for it, so the toolkit
// takes the configuration as read and never reads it a second time beside
// the thread. Where the platform keeps no such configuration it does nothing.
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
