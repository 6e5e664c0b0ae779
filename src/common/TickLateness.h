#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

// How late a 500 ms timer of the event loop runs, the way the download windows'
// own ticks run beside it: a precise timer that notes, at every tick, how long
// after its due time it came. A tick that is due while the loop is busy with
// socket events waits for them; that wait is what this measures.
//
// Due times follow the event loop's rule for a repeating timer: the next one is
// the last due time plus the interval, or, when that has passed already, the
// moment of the tick plus the interval.
class TickLateness : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kIntervalNs = 500'000'000;

    struct Summary {
        int ticks = 0;
        double medianMs = 0;
        double p99Ms = 0;
        double maxMs = 0;
    };

    explicit TickLateness(QObject* parent = nullptr);

    // Starts the timer; the first tick is due one interval from now.
    void start();
    void stop() { timer_.stop(); }

    // The bookkeeping of the timer, on times in nanoseconds of one steady clock.
    void begin(qint64 nowNs);
    void tick(qint64 nowNs);

    // Median, 99th percentile (nearest rank) and maximum of the latenesses so far.
    Summary summary() const;

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 dueNs_ = 0;
    std::vector<qint64> latenessNs_;
};
