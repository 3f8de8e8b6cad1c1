#include "tools/scangrade/QtPage.h"

#include <QImageReader>

namespace tallyline::scangrade {

QImage ReadPage(const QString& path) {
    // A page at 600 dots per inch is more than Qt reads by default.
    QImageReader::setAllocationLimit(0);
    return QImage(path);
}

GreyImage GreyPage(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    GreyImage page{grey.width(), grey.height(), {}};
    page.dots.reserve(static_cast<std::size_t>(page.width) * page.height);
    for (int y = 0; y < page.height; ++y) {
        const uchar* row = grey.constScanLine(y);
        page.dots.insert(page.dots.end(), row, row + page.width);
    }
    return page;
}

}  // namespace tallyline::scangrade
