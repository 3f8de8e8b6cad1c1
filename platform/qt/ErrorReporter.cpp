#include "ErrorReporter.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace tallyline {

MessageBoxReporter::MessageBoxReporter(QString title) : title_(std::move(title)) {}

void MessageBoxReporter::Report(const QString& action, const QString& reason) noexcept {
    const QString message = QStringLiteral("%1 failed.\n\n%2").arg(action, reason);
    try {
        QMessageBox::critical(parent_ ? parent_.data() : QApplication::activeWindow(), title_, message);
    } catch (...) {
        // Even the box could not be shown (out of memory); the terminal is
        // the last place left to say it.
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

}  // namespace tallyline
