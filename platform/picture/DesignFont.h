#pragma once

#include <QFont>
#include <QString>

namespace tallyline {

// A font as a window's design names it: family, size in points, weight
// (400 normal, 700 bold). The size is fixed in pixels at 96 to the inch, as
// every other design size is, so layouts do not shift with the screen.
// A missing family is drawn in its free substitute (FontSubstitutes.h), or
// else in the platform's closest match.
QFont DesignFont(const QString& family, double points, int weight);

}  // namespace tallyline
