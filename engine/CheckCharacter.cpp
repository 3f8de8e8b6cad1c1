#include "engine/CheckCharacter.h"

#include "engine/Code39Table.h"
#include "platform/core/CodePage.h"

namespace tallyline {
namespace {

// The characters that have values are exactly those that have bars.
constexpr bool ValuesAreTheDataCharacters() noexcept {
    constexpr Code39Patterns kTable = Code39Table();
    if (kCheckValues.size() != static_cast<std::size_t>(kCode39DataCharacters)) return false;
    for (std::size_t code = 0; code < kTable.size(); ++code) {
        const bool valued = kCheckValues.find(static_cast<char>(code)) != std::string_view::npos;
        if (valued == kTable[code].empty()) return false;
    }
    return true;
}
static_assert(ValuesAreTheDataCharacters());
static_assert(kCheckValues[10] == 'A' && kCheckValues[36] == '-' && kCheckValues[38] == ' ' && kCheckValues[42] == '%');

constexpr std::size_t kModulus = kCheckValues.size();
// Characters past ASCII have no value: the code page keeps them at codes
// that the table leaves empty.
constexpr char32_t kLastAscii = 0x7F;

}  // namespace

char32_t CheckCharacter(TextView text) noexcept {
    std::size_t sum = 0;
    for (const char32_t character : text) {
        const char32_t drawn = codepage::UCase(character);
        if (drawn > kLastAscii) continue;
        const std::size_t value = kCheckValues.find(static_cast<char>(drawn));
        if (value != std::string_view::npos) sum = (sum + value) % kModulus;
    }
    return static_cast<unsigned char>(kCheckValues[sum]);
}

}  // namespace tallyline
