#include "engine/UncarriedCharacters.h"

#include "engine/Code39Lookup_p.h"
#include "engine/FullAsciiTable.h"
#include "platform/core/CodePage.h"

namespace tallyline {
namespace {

bool IsCarried(char32_t character, Code39Form form) noexcept {
    if (form == Code39Form::FullAscii) return character < kFullAscii.size();
    constexpr Code39Patterns kTable = Code39Table();
    return !PatternOf(kTable, codepage::UCase(character)).empty();
}

}  // namespace

Text UncarriedCharacters(TextView text, Code39Form form) {
    Text uncarried;
    for (const char32_t character : text) {
        if (!IsCarried(character, form) && uncarried.find(character) == Text::npos) uncarried.push_back(character);
    }
    return uncarried;
}

}  // namespace tallyline
