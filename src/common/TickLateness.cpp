#include "common/TickLateness.h"

#include <algorithm>

TickLateness::TickLateness(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(static_cast<int>(kIntervalNs / 1'000'000));
    connect(&timer_, &QTimer::timeout, this, [this] { tick(clock_.nsecsElapsed()); });
}

void TickLateness::start() {
    clock_.start();
    begin(0);
    timer_.start();
}

void TickLateness::begin(qint64 nowNs) {
    dueNs_ = nowNs + kIntervalNs;
    latenessNs_.clear();
}

void TickLateness::tick(qint64 nowNs) {
    latenessNs_.push_back(std::max<qint64>(0, nowNs - dueNs_));
    dueNs_ += kIntervalNs;
    if (dueNs_ < nowNs) dueNs_ = nowNs + kIntervalNs;
}

TickLateness::Summary TickLateness::summary() const {
    Summary summary;
    if (latenessNs_.empty()) return summary;
    std::vector<qint64> sorted = latenessNs_;
    std::sort(sorted.begin(), sorted.end());
    const auto n = sorted.size();
    const auto ms = [](qint64 ns) { return static_cast<double>(ns) / 1e6; };
    summary.ticks = static_cast<int>(n);
    summary.medianMs = n % 2 ? ms(sorted[n / 2]) : (ms(sorted[n / 2 - 1]) + ms(sorted[n / 2])) / 2;
    // Nearest rank: the smallest value that at least 99 % of the ticks do not exceed.
    const auto rank = (n * 99 + 99) / 100;
    summary.p99Ms = ms(sorted[rank - 1]);
    summary.maxMs = ms(sorted.back());
    return summary;
}
