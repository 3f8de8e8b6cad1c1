#include "tests/support/Code39Reader.h"

#include <QPainter>

#include <zbar.h>

namespace tallyline {

QStringList ReadCode39(const QImage& picture) {
    constexpr int kPagePadding = 40;
    // zbar wants rows without padding, which a width in whole words gives.
    const int width = (picture.width() + 2 * kPagePadding + 3) / 4 * 4;
    QImage page(width, picture.height() + 2 * kPagePadding, QImage::Format_Grayscale8);
    page.fill(Qt::white);
    QPainter(&page).drawImage(kPagePadding, kPagePadding, picture);

    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_CODE39, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::Image image(static_cast<unsigned>(page.width()), static_cast<unsigned>(page.height()), "Y800",
                      page.constBits(), static_cast<unsigned long>(page.sizeInBytes()));
    scanner.scan(image);
    QStringList found;
    for (auto symbol = image.symbol_begin(); symbol != image.symbol_end(); ++symbol)
        found << QString::fromStdString(symbol->get_data());
    return found;
}

}  // namespace tallyline
