#include "queue/ExtraTimer.h"

ExtraTimer::ExtraTimer(QObject* parent) : QObject(parent) {
    tick_.setInterval(1000);
    connect(&tick_, &QTimer::timeout, this, &ExtraTimer::Tick);
}

void ExtraTimer::setInterval(std::int32_t interval) {
    interval_ = interval;
    count_ = 0;
}

void ExtraTimer::setIntervalUnit(std::int32_t unit) {
    unit_ = unit;
    count_ = 0;
}

void ExtraTimer::setEnabled(bool enabled) {
    enabled_ = enabled;
    count_ = 0;
    if (enabled)
        tick_.start();
    else
        tick_.stop();
}

void ExtraTimer::Tick() {
    static constexpr std::int64_t kSecondsOfUnit[] = {1, 60, 3600, 86400};
    if (!enabled_ || unit_ < 0 || unit_ > 3) return;
    if (++count_ < std::int64_t{interval_} * kSecondsOfUnit[unit_]) return;
    count_ = 0;
    emit Timer();
}
