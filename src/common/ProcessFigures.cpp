#include "common/ProcessFigures.h"

#include <QFile>

namespace ProcessFigures {

namespace {
// The files of /proc report a size of 0: they are read to their end, not by their size.
QByteArray readProcFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

qint64 PeakResidentBytes() {
    return PeakResidentFromStatus(readProcFile(QStringLiteral("/proc/self/status")));
}

qint64 PeakResidentFromStatus(const QByteArray& status) {
    for (const QByteArray& line : status.split('\n')) {
        if (!line.startsWith("VmHWM:")) continue;
        // "VmHWM:	   15244 kB"
        const QList<QByteArray> words = line.mid(6).simplified().split(' ');
        bool ok = false;
        const qint64 kib = words.value(0).toLongLong(&ok);
        if (!ok || words.value(1) != "kB") return -1;
        return kib * 1024;
    }
    return -1;
}

CpuTimes SchedulerTimes() {
    return SchedulerTimesFromText(readProcFile(QStringLiteral("/proc/self/schedstat")));
}

CpuTimes SchedulerTimesFromText(const QByteArray& schedstat) {
    const QList<QByteArray> words = schedstat.simplified().split(' ');
    bool runOk = false;
    bool waitOk = false;
    const qint64 running = words.value(0).toLongLong(&runOk);
    const qint64 waiting = words.value(1).toLongLong(&waitOk);
    if (!runOk || !waitOk || words.size() != 3) return {};
    return {running, waiting};
}

}  // namespace ProcessFigures
