#pragma once

#include <QRect>

#include "platform/core/Units.h"

// Where every control of the two windows stands and how big it is, in twips
// as designed; the pixels at 15 twips a pixel follow in the comments.
namespace tallyline::design {

struct TwipsRect {
    int left, top, width, height;
};

inline QRect ToPixels(TwipsRect rect) noexcept {
    return QRect(DesignPixels(rect.left), DesignPixels(rect.top), DesignPixels(rect.width), DesignPixels(rect.height));
}

// frmBarCode
constexpr TwipsRect kFormClient{150, 1755, 7785, 3195};    // 10, 117, 519 x 213
constexpr TwipsRect kPicture1{120, 720, 615, 1335};        // 8, 48, 41 x 89
constexpr TwipsRect kText1{2400, 120, 3735, 420};          // 160, 8, 249 x 28
constexpr TwipsRect kPicture2{30, 600, 7695, 1695};        // 2, 40, 513 x 113
constexpr TwipsRect kPicture3{1380, 2566, 3735, 330};      // 92, 171, 249 x 22
constexpr TwipsRect kLabel2{1320, 2910, 3855, 735};        // 88, 194, 257 x 49
constexpr TwipsRect kLabel3{1440, 2325, 3330, 240};        // 96, 155, 222 x 16
constexpr TwipsRect kLabel1{720, 165, 1470, 255};          // 48, 11, 98 x 17
constexpr TwipsRect kXpcmdbutton1{5760, 2520, 1455, 495};  // 384, 168, 97 x 33
constexpr int kText1MaxLength = 23;
// The fingertip of the pointing hand, in its picture's pixels.
constexpr int kPointingHandHotX = 10;
constexpr int kPointingHandHotY = 1;

// frmPrint
constexpr TwipsRect kPrintClient{0, 0, 9915, 3060};        // 661 x 204
constexpr TwipsRect kPrintPicture1{120, 240, 9495, 1935};  // 8, 16, 633 x 129

}  // namespace tallyline::design
