#include "OneShotTimer.h"

namespace mosaiq {

OneShotTimer::OneShotTimer(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    // Ticks are not repeated: the dispatcher disables the timer first thing, and a single-shot
    // QTimer is already inactive when its signal arrives.
    connect(&timer_, &QTimer::timeout, this, &OneShotTimer::Timer);
}

void OneShotTimer::SetInterval(int ms) {
    interval_ = ms;
    if (timer_.isActive()) timer_.start(interval_);
}

void OneShotTimer::SetEnabled(bool enabled) {
    // An interval of 0 keeps the timer idle even when enabled.
    if (enabled && interval_ > 0)
        timer_.start(interval_);
    else
        timer_.stop();
}

void OneShotTimer::Arm(const QString& tag, int ms) {
    tag_ = tag;
    interval_ = ms;
    SetEnabled(true);
}

} // namespace mosaiq
