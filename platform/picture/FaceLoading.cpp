#include "platform/picture/FaceLoading.h"

#include <system_error>

#include "platform/picture/FontSubstitutes_p.h"

namespace tallyline {

FaceLoading::FaceLoading() {
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
