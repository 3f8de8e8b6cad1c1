#include "app/NoDisplayGuard.h"

#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace tallyline {
namespace {

QtMessageHandler previousHandler = nullptr;
QString failureLine;
QStringList heldMessages;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", failureLine.toLocal8Bit().constData());
        std::fflush(stderr);
        std::_Exit(EXIT_FAILURE);
    }
    try {
        heldMessages.append(qFormatLogMessage(type, context, message));
    } catch (...) {
        // A message that cannot be held is lost; logging must not throw.
    }
}

}  // namespace

NoDisplayGuard::NoDisplayGuard(QString line) {
    failureLine = std::move(line);
    previousHandler = qInstallMessageHandler(HoldMessage);
}

NoDisplayGuard::~NoDisplayGuard() {
    qInstallMessageHandler(previousHandler);
    for (const QString& message : std::as_const(heldMessages)) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
    heldMessages.clear();
}

}  // namespace tallyline
