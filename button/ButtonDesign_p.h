#pragma once

#include <QString>

#include "platform/core/Colour.h"
#include "platform/core/Units.h"

// The button's design values. Sizes and positions are twips, as designed.
namespace tallyline::button_design {

// The size an instance takes when first placed: 113 x 59 pixels.
constexpr int kWidthTwips = 1695;
constexpr int kHeightTwips = 885;
// Where the caption label stands until the first resize centres it: 16, 8, 63 x 14 pixels.
constexpr int kLabelLeftTwips = 240;
constexpr int kLabelTopTwips = 120;
constexpr int kLabelWidthTwips = 945;
constexpr int kLabelHeightTwips = 210;
inline const QString kLabelCaption = QStringLiteral("xpcmdbutton");

constexpr Colour kEnabledCaptionColour = RGB(0, 0, 0);
constexpr Colour kDisabledCaptionColour = RGB(161, 161, 146);

// How often the pointer is looked for while the button tracks it.
constexpr int kPollMilliseconds = 10;

inline const QString kSkinResource = QStringLiteral(":/button/skin.bmp");
// What the user is told failed when a handler of the button fails.
inline const QString kAction = QStringLiteral("Handling the button");

}  // namespace tallyline::button_design
