#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/DrawingSurface.h"
#include "platform/core/RuntimeError.h"

namespace tallyline::testing {

// A box drawn since the last Cls, as the renderer asked for it, in the scale it was drawn in.
struct RecordedBox {
    float left;
    float right;
    Colour colour;
};

// A picture box without pixels: Width in twips, the inner scale in twips or pixels,
// ScaleWidth following Width less the border. Changes are logged in order, reads not.
class RecordingSurface final : public DrawingSurface {
public:
    struct Setup {
        float widthTwips = 600;
        float borderTwips = 0;
        float scaleHeightPixels = 80;
        float textWidth = 14;
        float textHeight = 13;
    };

    explicit RecordingSurface(const Setup& setup) : setup_(setup), width_(setup.widthTwips) {}

    // The change that would become log entry `index` (from 0) raises `number` instead.
    void FailAt(std::size_t index, ErrorNumber number) { failAt_ = {index, number}; }
    const std::vector<Text>& Log() const { return log_; }
    const std::vector<RecordedBox>& Boxes() const { return boxes_; }
    // The text that TextWidth was last asked to measure.
    const Text& Measured() const { return measured_; }
    // The image in modules of that width: '1' black, '0' white, '?' a box off the grid or over 1000 wide.
    std::string Modules(float module) const;

    void ScaleMode(ScaleModeKind mode) override { Record(U"ScaleMode", {static_cast<float>(mode)}); mode_ = mode; }
    float Width() const override { return width_; }
    void Width(float width) override { Record(U"Width", {width}); width_ = width; }
    float ScaleLeft() const override { return 0; }
    float ScaleTop() const override { return 0; }
    float ScaleWidth() const override { return (width_ - setup_.borderTwips) / TwipsPerUnit(); }
    float ScaleHeight() const override { return setup_.scaleHeightPixels * kTwipsPerPixel / TwipsPerUnit(); }
    void Cls() override { Record(U"Cls"); boxes_.clear(); }
    void RemovePicture() override { Record(U"RemovePicture"); }
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    float TextWidth(TextView text) const override {
        measured_ = text;
        return setup_.textWidth;
    }
    float TextHeight(TextView) const override { return setup_.textHeight; }
    float CurrentX() const override { return currentX_; }
    void CurrentX(float x) override { Record(U"CurrentX", {x}); currentX_ = x; }
    float CurrentY() const override { return currentY_; }
    void CurrentY(float y) override { Record(U"CurrentY", {y}); currentY_ = y; }
    void Print(TextView text) override { Record(U"Print " + Text(text)); }

private:
    // Logs the change with its values, or raises the error that FailAt asked for.
    void Record(Text entry, std::initializer_list<float> values = {});
    float TwipsPerUnit() const { return static_cast<float>(kTwipsPerPixel / UnitsPerPixel(mode_)); }

    Setup setup_;
    ScaleModeKind mode_ = ScaleModeKind::Twips;
    float width_;
    float currentX_ = 0;
    float currentY_ = 0;
    std::optional<std::pair<std::size_t, ErrorNumber>> failAt_;
    std::vector<Text> log_;
    std::vector<RecordedBox> boxes_;
    mutable Text measured_;
};

}  // namespace tallyline::testing
