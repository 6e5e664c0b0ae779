#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace ProcessMemory {

// The most memory this process has held resident so far ("VmHWM" of
// /proc/self/status), in bytes; -1 when the system does not tell.
qint64 PeakResidentBytes();

// The "VmHWM" figure of a /proc/PID/status text, in bytes; -1 without one.
qint64 PeakResidentFromStatus(const QByteArray& status);

}  // namespace ProcessMemory
