#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

// Runs the event loop until `done` holds or `timeoutMs` has passed; true when
// `done` held. The time-out only bounds a failing test, it is never what a test
// waits for. A short wake-up timer keeps the loop from sleeping past the
// deadline without spinning the CPU.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    QTimer wakeUp;
    wakeUp.start(5);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
