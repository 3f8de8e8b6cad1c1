#pragma once

#include <QImage>
#include <QStringList>

namespace tallyline {

// What a real scanner reads from the picture once it lies on a white page: the data of every Code 39 symbol found, in
// the order found.
QStringList ReadCode39(const QImage& picture);

}  // namespace tallyline
