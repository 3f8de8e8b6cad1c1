#pragma once

#include <QStringList>

#include "ErrorReporter.h"

namespace tallyline {

// Keeps every report instead of showing a message box.
class RecordingReporter : public ErrorReporter {
public:
    void Report(const QString& action, const QString& reason) noexcept override {
        actions.append(action);
        reasons.append(reason);
    }
    QStringList actions;
    QStringList reasons;
};

}  // namespace tallyline
