#pragma once

#include <QString>

namespace tallyline {

// Where a handler's failure is told to the user. Windows take one by
// reference, so tests can collect the reports instead of showing them.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // action names what the user asked for ("Printing the barcode"), reason
    // what went wrong.
    virtual void Report(const QString& action, const QString& reason) noexcept = 0;
};

// Shows a modal message box over the active window, and writes its text to
// standard error.
class MessageBoxReporter : public ErrorReporter {
public:
    explicit MessageBoxReporter(QString title);
    void Report(const QString& action, const QString& reason) noexcept override;

private:
    QString title_;
};

}  // namespace tallyline
