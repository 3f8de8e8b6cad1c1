#include "tools/scangrade/Code39Decode.h"

#include <algorithm>
#include <optional>

#include "tools/scangrade/Code39Alphabet_p.h"

namespace tallyline::scangrade {
namespace {

constexpr double kWideModules = 2;
// A character's bars and spaces without the gap that leads it: six narrow, three wide of two.
constexpr double kModulesWithoutGap = (kCode39Elements - kCode39WideElements) + kCode39WideElements * kWideModules;
constexpr double kDecision = 1.5;  // modules: narrower is narrow, wider is wide
constexpr double kQuietZoneModules = 10;
constexpr char kStartStop = '*';

// Bit i set when element i of a character is wide.
constexpr int WideMask(std::string_view elements) {
    int mask = 0;
    for (std::size_t e = 0; e < elements.size(); ++e) mask |= elements[e] == 'w' ? 1 << e : 0;
    return mask;
}

// The character of those wide elements; none when no character has them.
std::optional<char> CharacterOf(int mask) {
    for (const Code39Character& entry : kCode39Alphabet) {
        if (WideMask(entry.elements) == mask) return entry.character;
    }
    return std::nullopt;
}

Decoded Fail(Decoded decoded, std::string problem) {
    decoded.ok = false;
    decoded.problem = std::move(problem);
    return decoded;
}

}  // namespace

Decoded DecodeCode39(const std::vector<Element>& elements) {
    Decoded decoded;
    if (elements.size() < 3 || elements.front().bar || elements.back().bar) {
        return Fail(decoded, "no bars between two quiet zones");
    }
    const std::vector<Element> symbol(elements.begin() + 1, elements.end() - 1);
    const int count = static_cast<int>(symbol.size());
    if ((count + 1) % (kCode39Elements + 1) != 0 || count < 2 * kCode39Elements + 1) {
        return Fail(decoded, std::to_string(count) + " elements do not make whole characters");
    }

    std::string characters;
    double margin = 1, modules = 0, wide = 0, narrow = 0;
    for (int start = 0; start < count; start += kCode39Elements + 1) {
        double width = 0;
        for (int e = start; e < start + kCode39Elements; ++e) width += symbol[e].Width();
        const double module = width / kModulesWithoutGap;
        const double decision = kDecision * module;
        int mask = 0;
        for (int e = 0; e < kCode39Elements; ++e) {
            const double w = symbol[start + e].Width();
            const bool isWide = w > decision;
            mask |= isWide ? 1 << e : 0;
            (isWide ? wide : narrow) += w;
            margin = std::min(margin, isWide ? (w - decision) / (kWideModules * module - decision)
                                             : (decision - w) / (decision - module));
        }
        const std::optional<char> found = CharacterOf(mask);
        const int position = start / (kCode39Elements + 1) + 1;
        if (!found) return Fail(decoded, "character " + std::to_string(position) + " is not Code 39");
        characters += *found;
        modules += module;
    }
    const int length = static_cast<int>(characters.size());
    decoded.module = modules / length;
    const double meanWide = wide / (kCode39WideElements * length);
    const double meanNarrow = narrow / ((kCode39Elements - kCode39WideElements) * length);
    decoded.wideToNarrow = meanWide / meanNarrow;
    decoded.decodability = std::max(0.0, margin);

    const double quietZone = kQuietZoneModules * decoded.module;
    if (elements.front().Width() < quietZone || elements.back().Width() < quietZone) {
        return Fail(decoded, "a quiet zone is narrower than 10 modules");
    }
    const std::string data = characters.substr(1, length - 2);
    if (characters.front() != kStartStop || characters.back() != kStartStop ||
        data.find(kStartStop) != std::string::npos) {
        return Fail(decoded, "start/stop characters are not at both ends only");
    }
    decoded.ok = true;
    decoded.text = data;
    return decoded;
}

}  // namespace tallyline::scangrade
