#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace tallyline {

// Where a handler's failure is told to the user. Windows take one by
// reference, so tests can collect the reports instead of showing them.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // action names what the user asked for ("Printing the barcode"), reason
    // what went wrong.
    virtual void Report(const QString& action, const QString& reason) noexcept = 0;
    // The window that reports belong to, or nullptr for none.
    virtual void Parent(QWidget* /*window*/) noexcept {}
};

// Shows a modal message box, centred on the window that reports belong to,
// or else on the active window, and writes its text to standard error.
class MessageBoxReporter : public ErrorReporter {
public:
    explicit MessageBoxReporter(QString title);
    void Report(const QString& action, const QString& reason) noexcept override;
    void Parent(QWidget* window) noexcept override { parent_ = window; }

private:
    QString title_;
    QPointer<QWidget> parent_;
};

}  // namespace tallyline
