#include "RecordingSurface.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tallyline::testing {
namespace {

// Longer boxes than this are not read as modules; a fuzzed surface can ask
// for boxes billions of modules wide.
constexpr float kMostModulesPerBox = 1000;

std::string ColourName(Colour colour) {
    if (colour == kWhite) return "white";
    if (colour == kBlack) return "black";
    std::array<char, 16> hex{};
    std::snprintf(hex.data(), hex.size(), "#%06X", static_cast<unsigned>(colour));
    return hex.data();
}

// Printable ASCII as it stands, every other character as \u{hex}, so that a
// log line shows exactly which characters were printed.
std::string Escaped(TextView text) {
    std::string out;
    for (const char32_t character : text) {
        if (character >= 0x20 && character < 0x7F && character != '\\') {
            out += static_cast<char>(character);
            continue;
        }
        std::array<char, 16> escape{};
        std::snprintf(escape.data(), escape.size(), "\\u{%X}", static_cast<unsigned>(character));
        out += escape.data();
    }
    return out;
}

}  // namespace

std::string FormatNumber(float value) {
    std::array<char, 32> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

RecordingSurface::RecordingSurface(const Setup& setup) : setup_(setup), width_(setup.widthTwips) {}

void RecordingSurface::FailAt(std::size_t index, ErrorNumber number) {
    failAt_ = index;
    failure_ = number;
}

void RecordingSurface::Record(std::string entry) {
    if (failAt_ == log_.size()) throw RuntimeError(failure_);
    log_.push_back(std::move(entry));
}

float RecordingSurface::TwipsPerUnit() const {
    return mode_ == ScaleModeKind::Pixels ? static_cast<float>(kTwipsPerPixel) : 1.0f;
}

float RecordingSurface::ScaleWidth() const { return (width_ - setup_.borderTwips) / TwipsPerUnit(); }

float RecordingSurface::ScaleHeight() const {
    return setup_.scaleHeightPixels * static_cast<float>(kTwipsPerPixel) / TwipsPerUnit();
}

void RecordingSurface::ScaleMode(ScaleModeKind mode) {
    Record("ScaleMode " + std::to_string(static_cast<int>(mode)));
    mode_ = mode;
}

void RecordingSurface::Width(float width) {
    Record("Width " + FormatNumber(width));
    width_ = width;
    widthsWritten_.push_back(width);
}

void RecordingSurface::Cls() {
    Record("Cls");
    boxes_.clear();
}

void RecordingSurface::Picture(const StdPicture* picture) {
    Record(picture == nullptr ? "Picture none" : "Picture set");
}

void RecordingSurface::Line(float x1, float y1, float x2, float y2, Colour colour) {
    Record("Line " + FormatNumber(x1) + ' ' + FormatNumber(y1) + ' ' + FormatNumber(x2) + ' ' +
           FormatNumber(y2) + ' ' + ColourName(colour));
    boxes_.push_back({x1, y1, x2, y2, colour});
}

void RecordingSurface::CurrentX(float x) {
    Record("CurrentX " + FormatNumber(x));
    currentX_ = x;
}

void RecordingSurface::CurrentY(float y) {
    Record("CurrentY " + FormatNumber(y));
    currentY_ = y;
}

void RecordingSurface::Print(TextView text) {
    Record("Print " + Escaped(text));
    printed_.emplace_back(text);
}

std::string RecordingSurface::Modules(float module) const {
    std::string modules;
    float edge = ScaleLeft();
    for (const RecordedBox& box : boxes_) {
        const float count = (box.right - box.left) / module;
        const bool whole = box.left == edge && count >= 1 && count <= kMostModulesPerBox &&
                           count == std::floor(count);
        if (!whole) {
            modules += '?';
        } else {
            modules.append(static_cast<std::size_t>(count), box.colour == kBlack ? '1' : '0');
        }
        edge = box.right;
    }
    return modules;
}

}  // namespace tallyline::testing
