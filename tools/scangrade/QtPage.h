#pragma once

#include <QImage>
#include <QString>

#include "tools/scangrade/GreyImage.h"

namespace tallyline::scangrade {

// A rasterised page read from a file, however large; null when unreadable.
QImage ReadPage(const QString& path);

// A picture read as a grey page, dot for dot.
GreyImage GreyPage(const QImage& picture);

}  // namespace tallyline::scangrade
