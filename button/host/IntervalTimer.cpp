#include "button/host/IntervalTimer.h"

namespace tallyline {

IntervalTimer::IntervalTimer(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &IntervalTimer::Timer);
}

void IntervalTimer::Enabled(bool enabled) {
    if (!enabled) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        timer_.start();
    }
}

void IntervalTimer::Interval(int milliseconds) { timer_.setInterval(milliseconds); }

}  // namespace tallyline
