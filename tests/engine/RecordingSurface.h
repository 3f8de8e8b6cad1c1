#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "DrawingSurface.h"
#include "RuntimeError.h"

namespace tallyline::testing {

// A filled box as the renderer asked for it, in the scale it was drawn in.
struct RecordedBox {
    float left;
    float top;
    float right;
    float bottom;
    Colour colour;
};

// A picture box as the renderer sees it, without pixels: the outer Width is
// in twips, the inner scale in twips or pixels, and ScaleWidth follows Width
// less the border. Every operation that changes the surface is written to a
// log in the order it happens; reads are not, as they change nothing.
class RecordingSurface final : public DrawingSurface {
public:
    struct Setup {
        float widthTwips = 600;
        float borderTwips = 0;
        float scaleHeightPixels = 80;
        float textWidth = 14;
        float textHeight = 13;
    };

    explicit RecordingSurface(const Setup& setup);

    // The operation that would become log entry number `index` (from 0)
    // raises `number` instead of happening.
    void FailAt(std::size_t index, ErrorNumber number);

    const std::vector<std::string>& Log() const { return log_; }
    // The persistent image: the boxes drawn since the last Cls.
    const std::vector<RecordedBox>& Boxes() const { return boxes_; }
    const std::vector<float>& WidthsWritten() const { return widthsWritten_; }
    const std::vector<Text>& Printed() const { return printed_; }

    // The image read as modules of the given width from ScaleLeft: '1' for a
    // black one, '0' for a white one, '?' where a box is not whole modules or
    // does not start where the last one ended.
    std::string Modules(float module) const;

    void ScaleMode(ScaleModeKind mode) override;
    float Width() const override { return width_; }
    void Width(float width) override;
    float ScaleLeft() const override { return 0; }
    float ScaleTop() const override { return 0; }
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    void Cls() override;
    void Picture(const StdPicture* picture) override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    float TextWidth(TextView) const override { return setup_.textWidth; }
    float TextHeight(TextView) const override { return setup_.textHeight; }
    float CurrentX() const override { return currentX_; }
    void CurrentX(float x) override;
    float CurrentY() const override { return currentY_; }
    void CurrentY(float y) override;
    void Print(TextView text) override;

private:
    void Record(std::string entry);
    float TwipsPerUnit() const;

    Setup setup_;
    ScaleModeKind mode_ = ScaleModeKind::Twips;
    float width_;
    float currentX_ = 0;
    float currentY_ = 0;
    std::optional<std::size_t> failAt_;
    ErrorNumber failure_ = ErrorNumber::InvalidProcedureCall;
    std::vector<std::string> log_;
    std::vector<RecordedBox> boxes_;
    std::vector<float> widthsWritten_;
    std::vector<Text> printed_;
};

// Shortest text that reads back as the same float: "60.5", "1980".
std::string FormatNumber(float value);

}  // namespace tallyline::testing
