#pragma once

#include <QObject>
#include <QTimer>

// A timer whose interval is counted in whole seconds over a one-second tick, for
// intervals of minutes that a millisecond timer would not hold.
class SecondsTimer : public QObject {
    Q_OBJECT
public:
    explicit SecondsTimer(QObject* parent = nullptr);

    bool Enabled() const { return tick_.isActive(); }
    void setEnabled(bool enabled);
    int Interval() const { return interval_; }
    // Setting the interval starts the count again.
    void setInterval(int seconds);
    // 0 = seconds; the only unit the download window uses.
    int IntervalUnit = 0;

signals:
    void Timer();

private:
    void onTick();

    QTimer tick_;
    int interval_ = 0;
    int elapsed_ = 0;
};
