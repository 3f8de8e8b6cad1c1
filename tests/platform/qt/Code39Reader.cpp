#include "Code39Reader.h"

#include <QPainter>

#include <cstring>
#include <vector>

#include <zbar.h>

namespace tallyline {
namespace {

constexpr int kPagePadding = 40;

}  // namespace

QStringList ReadCode39(const QImage& picture) {
    QImage page(picture.size() + QSize(2 * kPagePadding, 2 * kPagePadding), QImage::Format_Grayscale8);
    page.fill(Qt::white);
    QPainter(&page).drawImage(kPagePadding, kPagePadding, picture);

    // zbar wants the rows without the padding that QImage keeps after each.
    const auto width = static_cast<std::size_t>(page.width());
    std::vector<unsigned char> grey(width * static_cast<std::size_t>(page.height()));
    for (int y = 0; y < page.height(); ++y) {
        std::memcpy(grey.data() + static_cast<std::size_t>(y) * width, page.constScanLine(y), width);
    }

    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_CODE39, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::Image image(static_cast<unsigned>(page.width()), static_cast<unsigned>(page.height()), "Y800",
                      grey.data(), grey.size());
    scanner.scan(image);
    QStringList found;
    for (auto symbol = image.symbol_begin(); symbol != image.symbol_end(); ++symbol) {
        found << QString::fromStdString(symbol->get_data());
    }
    return found;
}

}  // namespace tallyline
