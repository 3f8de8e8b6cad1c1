#include "tests/support/RecordingSurface.h"

#include <charconv>
#include <cmath>

namespace tallyline::testing {

// Each value in the shortest digits that read back as the same number: "60.5", "1980".
void RecordingSurface::Record(Text entry, std::initializer_list<float> values) {
    for (const float value : values) {
        char digits[32];
        entry.append(1, U' ').append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    }
    if (failAt_ && failAt_->first == log_.size()) throw RuntimeError(failAt_->second);
    log_.push_back(std::move(entry));
}

void RecordingSurface::Line(float x1, float y1, float x2, float y2, Colour colour) {
    Record(colour == kBlack ? U"Line black" : colour == kWhite ? U"Line white" : U"Line other", {x1, y1, x2, y2});
    boxes_.push_back({x1, x2, colour});
}

std::string RecordingSurface::Modules(float module) const {
    std::string modules;
    for (const RecordedBox& box : boxes_) {
        const float count = (box.right - box.left) / module;
        const bool onGrid = box.left == static_cast<float>(modules.size()) * module;
        const bool whole = onGrid && count >= 1 && count <= 1000 && count == std::floor(count);
        modules.append(whole ? static_cast<std::size_t>(count) : 1, !whole ? '?' : box.colour == kBlack ? '1' : '0');
    }
    return modules;
}

}  // namespace tallyline::testing
