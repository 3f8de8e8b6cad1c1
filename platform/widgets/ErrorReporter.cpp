#include "platform/widgets/ErrorReporter.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace tallyline {

MessageBoxReporter::MessageBoxReporter(QString title) : title_(std::move(title)) {}

void MessageBoxReporter::Report(const QString& action, const QString& reason) noexcept {
    try {
        const QString message = QStringLiteral("%1 failed.\n\n%2").arg(action, reason);
        // The terminal gets the same words: they stay on record after the box
        // is gone, and they are said even when the box cannot be shown.
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        QMessageBox::critical(parent_ ? parent_.data() : QApplication::activeWindow(), title_, message);
    } catch (...) {
        // Out of memory for even the message: nothing is left to say it with.
    }
}

}  // namespace tallyline
