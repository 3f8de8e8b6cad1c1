#include "platform/qt/FileError_p.h"

namespace tallyline {

FileError::FileError(const QString& path, const QString& reason)
    : std::runtime_error(QStringLiteral("Cannot write %1: %2").arg(path, reason).toStdString()) {}

}  // namespace tallyline
