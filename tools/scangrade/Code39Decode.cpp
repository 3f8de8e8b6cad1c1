#include "tools/scangrade/Code39Decode.h"

#include <algorithm>
#include <map>

#include "engine/Code39Table.h"

namespace tallyline::scangrade {
namespace {

constexpr int kElementsPerCharacter = 9;
constexpr int kWideElements = 3;
// A character's bars and spaces without the gap that leads it: six narrow, three wide of two.
constexpr double kModulesWithoutGap = kModulesPerCharacter - 1;
constexpr double kWideModules = 2;
constexpr double kDecision = 1.5;  // modules: narrower is narrow, wider is wide
constexpr double kQuietZoneModules = 10;
constexpr char kStartStop = '*';

// Bit i set when element i of a character is wide. The program's table
// writes each bar as a digit with a module of space in front of it, and a
// blank widens the space in front of the next bar.
int WideMask(ElementPattern pattern) {
    int mask = 0, bar = -2;
    bool widened = false;
    for (const char symbol : pattern) {
        if (symbol == ' ') {
            widened = true;
            continue;
        }
        if (bar >= 0 && widened) mask |= 1 << (bar + 1);
        bar += 2;
        if (symbol == '2') mask |= 1 << bar;
        widened = false;
    }
    return mask;
}

const std::map<int, char>& CharacterOfMask() {
    static const std::map<int, char> characters = [] {
        std::map<int, char> found;
        const Code39Patterns table = Code39Table();
        for (std::size_t code = ' '; code < table.size(); ++code) {
            if (!table[code].empty()) found.emplace(WideMask(table[code]), static_cast<char>(code));
        }
        return found;
    }();
    return characters;
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
    if ((count + 1) % (kElementsPerCharacter + 1) != 0 || count < 2 * kElementsPerCharacter + 1) {
        return Fail(decoded, std::to_string(count) + " elements do not make whole characters");
    }

    std::string characters;
    double margin = 1, modules = 0, wide = 0, narrow = 0;
    for (int start = 0; start < count; start += kElementsPerCharacter + 1) {
        double width = 0;
        for (int e = start; e < start + kElementsPerCharacter; ++e) width += symbol[e].Width();
        const double module = width / kModulesWithoutGap;
        const double decision = kDecision * module;
        int mask = 0;
        for (int e = 0; e < kElementsPerCharacter; ++e) {
            const double w = symbol[start + e].Width();
            const bool isWide = w > decision;
            mask |= isWide ? 1 << e : 0;
            (isWide ? wide : narrow) += w;
            margin = std::min(margin, isWide ? (w - decision) / (kWideModules * module - decision)
                                             : (decision - w) / (decision - module));
        }
        const auto found = CharacterOfMask().find(mask);
        const int position = start / (kElementsPerCharacter + 1) + 1;
        if (found == CharacterOfMask().end()) {
            return Fail(decoded, "character " + std::to_string(position) + " is not Code 39");
        }
        characters += found->second;
        modules += module;
    }
    const int length = static_cast<int>(characters.size());
    decoded.module = modules / length;
    const double meanWide = wide / (kWideElements * length);
    const double meanNarrow = narrow / ((kElementsPerCharacter - kWideElements) * length);
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
