#include "common/ProcessMemory.h"

#include <QFile>

namespace ProcessMemory {

qint64 PeakResidentBytes() {
    QFile file(QStringLiteral("/proc/self/status"));
    // The file reports a size of 0: it is read to its end, not by its size.
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return PeakResidentFromStatus(file.readAll());
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

}  // namespace ProcessMemory
