#include "engine/Code39Lookup_p.h"

#include "platform/core/CodePage.h"

namespace tallyline {

ElementPattern PatternOf(const Code39Patterns& table, char32_t character) noexcept {
    const std::uint8_t code = codepage::Asc(character).value_or(0);
    return table[code < table.size() ? code : 0];
}

}  // namespace tallyline
