// Draws any text, in either form, on a surface of any size and metrics. The renderer may fail
// only with a RuntimeError; anything else, a crash, undefined behaviour or a
// box that does not start where the last one ended, stops the fuzzer.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "engine/DrawBar.h"
#include "fuzz/FuzzedSurface.h"
#include "platform/core/CodePage.h"

namespace {

using tallyline::Text;
using tallyline::fuzzing::FuzzedSurface;

// Escape byte in the text: the next four bytes are one char32_t, any value.
constexpr std::uint8_t kRawCharacter = 0xFF;
// Beyond the log a call can reach for short texts, so failures land anywhere.
constexpr std::size_t kLatestFailure = 400;

float Size(FuzzedDataProvider& input) {
    constexpr float kHuge = 1e30f;
    switch (input.ConsumeIntegralInRange(0, 8)) {
    case 0: return 0.0f;
    case 1: return static_cast<float>(input.ConsumeIntegralInRange(-100, 2000));
    case 2: return input.ConsumeFloatingPointInRange(-1e6f, 1e6f);
    case 3: return std::numeric_limits<float>::quiet_NaN();
    case 4: return std::numeric_limits<float>::infinity();
    case 5: return -std::numeric_limits<float>::infinity();
    case 6: return input.ConsumeBool() ? kHuge : -kHuge;
    case 7: return std::numeric_limits<float>::denorm_min();
    default: return input.ConsumeFloatingPoint<float>();
    }
}

Text Characters(FuzzedDataProvider& input) {
    Text text;
    while (input.remaining_bytes() > 0) {
        const auto byte = input.ConsumeIntegral<std::uint8_t>();
        text += byte == kRawCharacter ? input.ConsumeIntegral<char32_t>() : tallyline::codepage::Chr(byte);
    }
    return text;
}

bool SameFloat(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzedSurface::Setup setup;
    setup.widthTwips = Size(input);
    setup.borderTwips = input.ConsumeBool() ? 0.0f : Size(input);
    setup.scaleHeightPixels = Size(input);
    setup.textWidth = Size(input);
    setup.textHeight = Size(input);
    FuzzedSurface surface(setup);
    if (input.ConsumeBool()) {
        surface.FailAt(input.ConsumeIntegralInRange<std::size_t>(0, kLatestFailure),
                       tallyline::ErrorNumber::InvalidPropertyValue);
    }
    const auto form = input.ConsumeBool() ? tallyline::Code39Form::FullAscii : tallyline::Code39Form::Standard;
    try {
        tallyline::DrawSymbol(tallyline::SymbolOf(Characters(input), form), surface);
    } catch (const tallyline::RuntimeError&) {
    }
    const auto& boxes = surface.Boxes();
    for (std::size_t i = 1; i < boxes.size(); ++i) {
        if (!SameFloat(boxes[i].left, boxes[i - 1].right)) std::abort();
    }
    return 0;
}
