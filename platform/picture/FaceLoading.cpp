#include "platform/picture/FaceLoading.h"

#if defined(TALLYLINE_HAS_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

#include <system_error>

#include "platform/picture/FontSubstitutes_p.h"

namespace tallyline {
namespace {

void MatchSubstituteFaces() {
#if defined(TALLYLINE_HAS_FONTCONFIG)
    if (!FcInit()) return;
    for (const char* face : SubstituteFaces()) {
        FcPattern* const pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face));
        if (pattern == nullptr) continue;
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        if (FcPattern* const match = FcFontMatch(nullptr, pattern, &result)) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
#endif
}

}  // namespace

FaceLoading::FaceLoading() {
    try {
        thread_ = std::thread(MatchSubstituteFaces);
    } catch (const std::system_error&) {
        // No thread to spare: the toolkit reads the configuration itself.
    }
}

FaceLoading::~FaceLoading() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace tallyline
