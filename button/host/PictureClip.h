#pragma once

#include <vector>

#include "platform/picture/StdPicture.h"

namespace tallyline {

// The picture-clip control: holds one picture cut into Rows x Cols equal
// cells and hands each out as a picture of its own. The cells are cut once
// per change, so handing one out copies nothing.
class PictureClip {
public:
    void Picture(const StdPicture& picture);
    // InvalidPropertyValue below 1; the cells stay as they were.
    void Rows(short rows);
    void Cols(short cols);

    // Cell `index`, numbered from 0 left to right and row by row.
    // InvalidPropertyValue for an index outside the cells.
    StdPicture GraphicCell(short index) const;

private:
    void Cut();

    StdPicture picture_;
    short rows_ = 1;
    short cols_ = 1;
    std::vector<StdPicture> cells_;
};

}  // namespace tallyline
