#include "platform/files/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/core/Failures.h"

namespace tallyline {
namespace {

// Writes all of the contents, or returns false with the device's reason. The
// device must be unbuffered: a buffered write that the disk refuses fails
// only when the file is closed, and neither QSaveFile::commit() nor
// QFile::remove() reports that, so a full disk left an empty file called
// written. A short write is followed by another, which names the reason.
bool WriteAll(QFileDevice& file, const QByteArray& contents) {
    for (qint64 written = 0; written < contents.size();) {
        const qint64 step = file.write(contents.constData() + written, contents.size() - written);
        if (step <= 0) return false;
        written += step;
    }
    return true;
}

[[noreturn]] void Fail(const QString& path, const QString& reason) {
    throw FileError(path.toStdString(), reason.toStdString());
}

constexpr QIODevice::OpenMode kWriteThrough = QIODevice::WriteOnly | QIODevice::Unbuffered;

}  // namespace

void WriteWholeFile(const QString& path, const QByteArray& contents, Writing writing) {
    if (writing == Writing::Quickly) {
        QFile file(path);
        if (file.open(kWriteThrough | QIODevice::NewOnly)) {
            if (WriteAll(file, contents)) return;
            const QString reason = file.errorString();
            file.close();
            QFile::remove(path);
            Fail(path, reason);
        }
    }
    // Writing through a link would put the file wherever the link points.
    if (QFileInfo(path).isSymLink()) Fail(path, QStringLiteral("it is a symbolic link"));
    QSaveFile file(path);
    if (!file.open(kWriteThrough)) Fail(path, file.errorString());
    if (!WriteAll(file, contents)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Fail(path, reason);
    }
    if (!file.commit()) Fail(path, file.errorString());
}

}  // namespace tallyline
