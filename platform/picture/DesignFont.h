#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace tallyline {

// A font as a window's design names it: family, size in points, weight
// (400 normal, 700 bold). The size is fixed in pixels at 96 to the inch, as
// every other design size is, so layouts do not shift with the screen.
// A missing family is drawn in its free stand-in (StandInFaces), or else in
// the platform's closest match.
QFont DesignFont(const QString& family, double points, int weight);

// The free faces that draw a family the designs name where a machine lacks
// it, for a reader of the program's files that lacks it too; none for any
// other family.
QStringList StandInFaces(const QString& family);

}  // namespace tallyline
