#include "platform/qt/Shell.h"

#include <QProcess>

#include "platform/core/RuntimeError.h"

namespace tallyline {

void Shell(const QString& program, const QStringList& arguments) {
    if (!QProcess::startDetached(program, arguments)) {
        throw RuntimeError(ErrorNumber::FileNotFound,
                           ("File not found: " + program).toStdString());
    }
}

}  // namespace tallyline
