#pragma once

#include <QByteArray>
#include <QtGlobal>

// What the system tells about this process, for `--stats`.
namespace ProcessFigures {

// The most memory this process has held resident so far ("VmHWM" of
// /proc/self/status), in bytes; -1 when the system does not tell.
qint64 PeakResidentBytes();
// The "VmHWM" figure of a /proc/PID/status text, in bytes; -1 without one.
qint64 PeakResidentFromStatus(const QByteArray& status);

// How long the process ran on a CPU and how long it was ready to run but waited
// for one (/proc/self/schedstat). A tick that comes late on a busy machine has
// mostly waited there, not behind the program's own work.
struct CpuTimes {
    qint64 runningNs = -1;
    qint64 waitingNs = -1;  // -1: not told
};
CpuTimes SchedulerTimes();
// The figures of a /proc/PID/schedstat text ("run_ns wait_ns slices").
CpuTimes SchedulerTimesFromText(const QByteArray& schedstat);

}  // namespace ProcessFigures
