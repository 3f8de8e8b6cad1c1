#include "commandline/FileOrOutput_p.h"

#include <QFile>

#include <cerrno>
#include <stdexcept>
#include <unistd.h>

#include "commandline/CommandLineTexts_p.h"
#include "commandline/CommandLine_p.h"
#include "commandline/StandardStreams_p.h"
#include "platform/files/WholeFile.h"

namespace tallyline::commandline {

void WriteFileOrOutput(const QString& path, const QByteArray& contents) {
    if (path != kStandardOutput) {
        WriteWholeFile(path, contents);
        return;
    }
    const auto fail = [](const QString& reason) { throw std::runtime_error(CannotWriteOutput(reason).toStdString()); };
    if (WasClosed(STDOUT_FILENO)) fail(qt_error_string(EBADF));
    // Unbuffered: each write reaches the descriptor, and its failure is seen here.
    QFile output;
    if (!output.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle) ||
        output.write(contents) != contents.size()) {
        fail(output.errorString());
    }
}

}  // namespace tallyline::commandline
