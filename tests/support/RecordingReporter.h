#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "platform/widgets/ErrorReporter.h"

namespace tallyline {

// Keeps what the user would be told, "action: reason" a report, and the window the reports are centred on.
struct RecordingReporter : ErrorReporter {
    void Report(const QString& action, const QString& reason) noexcept override { reports << action + ": " + reason; }
    void Parent(QWidget* window) noexcept override { parent = window; }
    QStringList reports;
    QWidget* parent = nullptr;
};

}  // namespace tallyline
