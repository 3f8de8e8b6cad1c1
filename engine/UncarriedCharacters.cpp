#include "engine/UncarriedCharacters.h"

#include "engine/Code39Lookup_p.h"
#include "platform/core/CodePage.h"

namespace tallyline {
namespace {

bool IsCarried(char32_t character) noexcept {
    constexpr Code39Patterns kTable = Code39Table();
    return !PatternOf(kTable, codepage::UCase(character)).empty();
}

}  // namespace

Text UncarriedCharacters(TextView text) {
    Text uncarried;
    for (const char32_t character : text) {
        if (!IsCarried(character) && uncarried.find(character) == Text::npos) uncarried.push_back(character);
    }
    return uncarried;
}

}  // namespace tallyline
