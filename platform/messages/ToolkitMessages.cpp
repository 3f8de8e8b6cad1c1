#include "platform/messages/ToolkitMessages.h"

#include <QByteArray>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace tallyline {
namespace {

// The policy in force. A message may come from any thread.
struct Policy {
    std::mutex mutex;
    bool holding = false;
    // Made when the guard starts: a fatal message leaves no room to make it.
    QByteArray fatalLine;
    QStringList held;
    QtMessageHandler previous = nullptr;
};

Policy& CurrentPolicy() {
    static Policy policy;
    return policy;
}

void Write(const QByteArray& line) {
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    Policy& policy = CurrentPolicy();
    const std::lock_guard lock(policy.mutex);
    if (policy.holding && type == QtFatalMsg) {
        Write(policy.fatalLine);
        std::_Exit(EXIT_FAILURE);
    }
    try {
        if (policy.holding) {
            policy.held.append(qFormatLogMessage(type, context, message));
        } else if (type == QtCriticalMsg || type == QtFatalMsg) {
            Write(qFormatLogMessage(type, context, message).toLocal8Bit());
        }
    } catch (...) {
        // A message that cannot be kept or written is lost; logging must not throw.
    }
}

}  // namespace

void WriteOnlyCriticalMessages() { qInstallMessageHandler(Handle); }

HeldMessages::HeldMessages(const QString& fatalLine) {
    Policy& policy = CurrentPolicy();
    {
        const std::lock_guard lock(policy.mutex);
        policy.fatalLine = fatalLine.toLocal8Bit();
        policy.holding = true;
    }
    policy.previous = qInstallMessageHandler(Handle);
}

HeldMessages::~HeldMessages() {
    Policy& policy = CurrentPolicy();
    qInstallMessageHandler(policy.previous);
    const std::lock_guard lock(policy.mutex);
    policy.holding = false;
    for (const QString& message : std::as_const(policy.held)) Write(message.toLocal8Bit());
    policy.held.clear();
}

}  // namespace tallyline
