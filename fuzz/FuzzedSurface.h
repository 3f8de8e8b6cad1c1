#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "platform/core/DrawingSurface.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"

namespace tallyline::fuzzing {

// A picture box without pixels, of any size and text metrics: Width in twips, the inner
// scale in twips or pixels, ScaleWidth following Width less the border. It keeps the
// boxes drawn since the last Cls, and can refuse any change of its state.
class FuzzedSurface final : public DrawingSurface {
public:
    struct Setup {
        float widthTwips = 600;
        float borderTwips = 0;
        float scaleHeightPixels = 80;
        float textWidth = 14;
        float textHeight = 13;
    };
    // A box as the renderer asked for it, in the scale it was drawn in.
    struct Box {
        float left;
        float right;
    };

    explicit FuzzedSurface(const Setup& setup) : setup_(setup), width_(setup.widthTwips) {}

    // The change numbered `index` (from 0) raises `number` instead.
    void FailAt(std::size_t index, ErrorNumber number) { failAt_ = {index, number}; }
    const std::vector<Box>& Boxes() const { return boxes_; }

    void ScaleMode(ScaleModeKind mode) override {
        Change();
        mode_ = mode;
    }
    float Width() const override { return width_; }
    void Width(float width) override {
        Change();
        width_ = width;
    }
    float ScaleLeft() const override { return 0; }
    float ScaleTop() const override { return 0; }
    float ScaleWidth() const override { return (width_ - setup_.borderTwips) / TwipsPerUnit(); }
    float ScaleHeight() const override { return setup_.scaleHeightPixels * kTwipsPerPixel / TwipsPerUnit(); }
    void Cls() override {
        Change();
        boxes_.clear();
    }
    void RemovePicture() override { Change(); }
    void Line(float x1, float, float x2, float, Colour) override {
        Change();
        boxes_.push_back({x1, x2});
    }
    float TextWidth(TextView) const override { return setup_.textWidth; }
    float TextHeight(TextView) const override { return setup_.textHeight; }
    float CurrentX() const override { return currentX_; }
    void CurrentX(float x) override {
        Change();
        currentX_ = x;
    }
    float CurrentY() const override { return currentY_; }
    void CurrentY(float y) override {
        Change();
        currentY_ = y;
    }
    void Print(TextView) override { Change(); }

private:
    void Change() {
        if (failAt_ && failAt_->first == changes_) throw RuntimeError(failAt_->second);
        ++changes_;
    }
    float TwipsPerUnit() const { return static_cast<float>(kTwipsPerPixel / UnitsPerPixel(mode_)); }

    Setup setup_;
    ScaleModeKind mode_ = ScaleModeKind::Twips;
    float width_;
    float currentX_ = 0;
    float currentY_ = 0;
    std::optional<std::pair<std::size_t, ErrorNumber>> failAt_;
    std::size_t changes_ = 0;
    std::vector<Box> boxes_;
};

}  // namespace tallyline::fuzzing
