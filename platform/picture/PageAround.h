#pragma once

#include <QPageSize>
#include <QSizeF>

namespace tallyline {

// The page of whole points, as PDF files and printers keep their pages, that
// holds a picture of that many millimetres: each side rounded up, so that no
// edge of the picture is cut, and never taken for a standard paper nearby.
QPageSize PageAround(QSizeF millimetres);

}  // namespace tallyline
