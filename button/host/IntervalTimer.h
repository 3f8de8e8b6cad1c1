#pragma once

#include <QObject>
#include <QTimer>

namespace tallyline {

// The platform's timer control: an enabled flag and an interval, and a
// Timer notification every interval while it is enabled. Disabled, it costs
// nothing at all.
class IntervalTimer : public QObject {
    Q_OBJECT
public:
    explicit IntervalTimer(QObject* parent = nullptr);

    bool Enabled() const noexcept { return timer_.isActive(); }
    // Enabling a running timer leaves its rhythm as it is.
    void Enabled(bool enabled);
    void Interval(int milliseconds);

signals:
    void Timer();

private:
    QTimer timer_;
};

}  // namespace tallyline
