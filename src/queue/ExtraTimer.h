#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>

// A coarse timer for waits of minutes, hours or days: an inner 1000 ms tick
// counts up to Interval times the unit's seconds and then raises Timer. Units:
// 0 seconds, 1 minutes, 2 hours, 3 days; 4 or more never fires.
//
// An Interval of 0 or less fires at the first tick: the scheduler arms 0 when
// less than a second is left, and a count that had to be met exactly would
// never get there. A new Interval, IntervalUnit or Enabled starts the count again.
class ExtraTimer : public QObject {
    Q_OBJECT
public:
    explicit ExtraTimer(QObject* parent = nullptr);

    std::int32_t Interval() const { return interval_; }
    void setInterval(std::int32_t interval);
    std::int32_t IntervalUnit() const { return unit_; }
    void setIntervalUnit(std::int32_t unit);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // The inner tick; the 1000 ms timer calls it, tests call it directly.
    void Tick();

signals:
    void Timer();

private:
    QTimer tick_;
    std::int32_t interval_ = 1;
    std::int32_t unit_ = 0;
    bool enabled_ = false;
    std::int64_t count_ = 0;
};
