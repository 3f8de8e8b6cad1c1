#include "engine/Symbol.h"

#include <utility>

#include "engine/DrawBar.h"
#include "engine/FullAsciiTable.h"

namespace tallyline {
namespace {

constexpr char32_t kDelete = 0x7F;
constexpr char32_t kFirstControlPicture = 0x2400;
constexpr char32_t kDeletePicture = 0x2421;

}  // namespace

char32_t VisibleStandIn(char32_t character) noexcept {
    if (character < U' ') return kFirstControlPicture + character;
    return character == kDelete ? kDeletePicture : character;
}

Symbol SymbolOf(TextView text, Code39Form form) {
    if (form == Code39Form::Standard) {
        Text upper = BarcodeCaption(text);
        return {upper, std::move(upper)};
    }
    Symbol symbol;
    for (const char32_t character : text) {
        symbol.caption.push_back(VisibleStandIn(character));
        if (character < kFullAscii.size()) {
            const std::string_view pair = kFullAscii[character];
            symbol.data.append(pair.begin(), pair.end());
        } else {
            symbol.data.push_back(character);
        }
    }
    return symbol;
}

}  // namespace tallyline
