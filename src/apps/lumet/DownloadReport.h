#pragma once

#include "common/ProcessFigures.h"
#include "common/TickLateness.h"

#include <QString>

class frmDownload;

// The texts `lumet --get` prints about its download: the progress line and the
// final line, which says where the file went or why it did not.
namespace DownloadReport {

// " 42%  4.20 MB of 10.00 MB  1.05 MB /Second  00:00:05 left"
QString ProgressLine(const frmDownload& window);

QString Saved(const QString& path, qint64 size);
QString Failed(const QString& status);
QString Skipped(const QString& path);
// Stopped by the user (Ctrl+C): where the partial file is and how to go on with it.
QString Interrupted(const frmDownload& window, const QString& address, const QString& path);

// `--get-list`: a line about line `line` of the list file, "LIST:LINE: text".
QString AtLine(const QString& listName, int line, const QString& text);
// "Total: 3 downloads, 2 completed, 1 failed, 0 skipped, 1 bad line; 128.00 MB in 4.2 s."
QString ListTotal(int completed, int failed, int skipped, int badLines, qint64 bytes, qint64 elapsedMs);

// `--stats`: "stats: 500 ms ticks late by median 0.1 ms, p99 2.0 ms, max 2.0 ms
// (24 ticks); peak resident 21.4 MiB; on a CPU 1.5 s, waiting for one 0.2 s".
QString Stats(const TickLateness::Summary& ticks, qint64 peakResidentBytes,
              const ProcessFigures::CpuTimes& cpu);

// The word quoted for a POSIX shell when it needs quoting.
QString ShellQuoted(const QString& word);

}  // namespace DownloadReport
