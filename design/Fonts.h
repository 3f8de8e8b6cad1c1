#pragma once

#include <QFont>
#include <QString>

#include "platform/picture/DesignFont.h"

// The fonts of the window's controls, by the names the design asks for; a
// missing face gets the system's substitute.
namespace tallyline::design {

struct FontDesign {
    const char* family;
    double points;
    int weight;
};

inline QFont FontOf(FontDesign font) { return DesignFont(QString::fromLatin1(font.family), font.points, font.weight); }

// Neither the window nor the picture box names a font; this is the one they get.
constexpr FontDesign kDefaultFont{"MS Sans Serif", 8.25, 400};
constexpr FontDesign kText1Font{"Comic Sans MS", 11.25, 400};
constexpr FontDesign kLabel3Font{"MS Sans Serif", 9.75, 700};
constexpr FontDesign kLabel1Font{"Arial", 11.25, 400};

}  // namespace tallyline::design
