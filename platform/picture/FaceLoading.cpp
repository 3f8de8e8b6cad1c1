#include "platform/picture/FaceLoading.h"

#include <system_error>

#include "platform/core/HeapReuse.h"
#include "platform/picture/FontSubstitutes_p.h"

namespace tallyline {

FaceLoading::FaceLoading() {
    // The configuration that the thread reads is the program's for as long
    // as it runs; the thread's garbage goes where the rest reuses it.
    ShareOneHeap();
    try {
        thread_ = std::thread(ConfigureFreeFaces);
    } catch (const std::system_error&) {
        // No thread to spare: the first design font reads the configuration.
    }
}

FaceLoading::~FaceLoading() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace tallyline
