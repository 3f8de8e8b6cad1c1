#pragma once

#include <QImage>

namespace tallyline {

// A picture as the platform hands it around: a bitmap shared by every holder
// and released with the last one (QImage shares its pixels implicitly).
class StdPicture {
public:
    StdPicture() = default;
    explicit StdPicture(QImage image) : image_(std::move(image)) {}

    const QImage& Image() const noexcept { return image_; }
    bool IsEmpty() const noexcept { return image_.isNull(); }
    int PixelWidth() const noexcept { return image_.width(); }
    int PixelHeight() const noexcept { return image_.height(); }

private:
    QImage image_;
};

}  // namespace tallyline
