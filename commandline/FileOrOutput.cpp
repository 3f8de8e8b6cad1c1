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
namespace {

[[noreturn]] void Fail(const QString& reason) { throw std::runtime_error(CannotWriteOutput(reason).toStdString()); }

}  // namespace

void WriteFileOrOutput(const QString& path, const QByteArray& contents) {
    if (path != kStandardOutput) {
        WriteWholeFile(path, contents);
        return;
    }
    StandardOutput().Write(contents);
}

StandardOutput::StandardOutput() {
    if (WasClosed(STDOUT_FILENO)) Fail(qt_error_string(EBADF));
    if (!output_.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)) {
        Fail(output_.errorString());
    }
}

void StandardOutput::Write(QByteArrayView contents) {
    if (output_.write(contents.data(), contents.size()) != contents.size()) Fail(output_.errorString());
}

}  // namespace tallyline::commandline
