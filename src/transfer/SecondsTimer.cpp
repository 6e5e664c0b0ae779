#include "transfer/SecondsTimer.h"

SecondsTimer::SecondsTimer(QObject* parent) : QObject(parent) {
    tick_.setInterval(1000);
    connect(&tick_, &QTimer::timeout, this, &SecondsTimer::onTick);
}

void SecondsTimer::setEnabled(bool enabled) {
    if (enabled == tick_.isActive()) return;
    elapsed_ = 0;
    if (enabled)
        tick_.start();
    else
        tick_.stop();
}

void SecondsTimer::setInterval(int seconds) {
    interval_ = seconds;
    elapsed_ = 0;
}

void SecondsTimer::onTick() {
    if (interval_ <= 0) return;
    if (++elapsed_ >= interval_) {
        elapsed_ = 0;
        emit Timer();
    }
}
