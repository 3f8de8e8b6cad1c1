#include "platform/picture/OwnImage.h"

#include <QFileInfo>
#include <QImageReader>

namespace tallyline {

QImage ReadOwnImage(const QString& path) {
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

}  // namespace tallyline
