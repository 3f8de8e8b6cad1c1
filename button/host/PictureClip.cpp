#include "button/host/PictureClip.h"

#include "platform/core/RuntimeError.h"

namespace tallyline {

void PictureClip::Picture(const StdPicture& picture) {
    picture_ = picture;
    Cut();
}

void PictureClip::Rows(short rows) {
    if (rows < 1) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    rows_ = rows;
    Cut();
}

void PictureClip::Cols(short cols) {
    if (cols < 1) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    cols_ = cols;
    Cut();
}

StdPicture PictureClip::GraphicCell(short index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= cells_.size()) {
        throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    }
    return cells_[static_cast<std::size_t>(index)];
}

void PictureClip::Cut() {
    cells_.clear();
    if (picture_.IsEmpty()) return;
    const int width = picture_.PixelWidth() / cols_;
    const int height = picture_.PixelHeight() / rows_;
    cells_.reserve(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_));
    for (int row = 0; row < rows_; ++row) {
        for (int col = 0; col < cols_; ++col) {
            cells_.emplace_back(picture_.Image().copy(col * width, row * height, width, height));
        }
    }
}

}  // namespace tallyline
